// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "RunSkyloft.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace skyloft::test;

namespace {

// A window of the built skyloft, started in `work` with `home`, whose output is kept as it comes.
class Window
{
public:
    Window(const QStringList &arguments, const QString &home, const QString &work,
           const QString &busAddress = {})
    {
        setUpSkyloft(process, home, {}, work);
        if (!busAddress.isNull()) {
            QProcessEnvironment environment = process.processEnvironment();
            environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
            process.setProcessEnvironment(environment);
        }
        process.setArguments(arguments);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process,
                         [this] { out += QString::fromUtf8(process.readAllStandardOutput()); });
        process.start();
    }
    ~Window()
    {
        process.terminate();
        process.waitForFinished(-1);
    }
    // Waits until the window says it queued `path`, or for its end; true if it queued it.
    bool waitForQueued(const QString &path)
    {
        const QString line = "📄 Archivo individual agregado: " + path + '\n';
        waitUntil([&] { return out.contains(line); });
        return out.contains(line);
    }
    // Waits for the end of a launch that should hand its files over; true if it ended with 0
    // before queueing anything of its own.
    bool handsOff()
    {
        waitUntil([&] { return out.contains("agregado"); });
        process.waitForFinished(-1);
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
               !out.contains("agregado");
    }

    QProcess process;
    QString out;

private:
    void waitUntil(const std::function<bool()> &done)
    {
        // Each new output or the end is looked at; CTest's timeout bounds the whole.
        QEventLoop loop;
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        while (!done() && process.state() != QProcess::NotRunning)
            loop.exec();
    }
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "run this test inside dbus-run-session");
    }

    void aLaterLaunchHandsItsFilesToTheOpenWindow()
    {
        QTemporaryDir work;
        for (const char *name : {"a.txt", "b c.txt", "c.txt"})
            QVERIFY(writeFile(work.filePath(name), "x"));
        const QString home = work.filePath("home");

        Window first({"a.txt"}, home, work.path());
        QVERIFY2(first.waitForQueued(work.filePath("a.txt")), qPrintable(first.out));
        QVERIFY(
            QDBusConnection::sessionBus().interface()->isServiceRegistered("app.skyloft.Skyloft"));

        // Relative names are the launcher's; the files join the first window's queue.
        Window second({"b c.txt"}, home, work.path());
        QVERIFY2(second.handsOff(), qPrintable(second.out));
        QVERIFY2(first.waitForQueued(work.filePath("b c.txt")), qPrintable(first.out));
        QCOMPARE(first.process.state(), QProcess::Running);

        // Commands run on their own, whoever holds the window.
        const SkyloftRun history = runSkyloft({"historial"}, home, {}, work.path());
        QCOMPARE(history.exitCode, 0);
        QVERIFY(history.out.value(0).startsWith("fecha\t"));

        // Without a session bus a launch opens a window of its own, as it always did.
        Window alone({"c.txt"}, home, work.path(), "unix:path=" + work.filePath("no-bus"));
        QVERIFY2(alone.waitForQueued(work.filePath("c.txt")), qPrintable(alone.out));
        QCOMPARE(alone.process.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
