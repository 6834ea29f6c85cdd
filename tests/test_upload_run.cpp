// SPDX-License-Identifier: MIT
#include "CapturedStdout.h"
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "core/RcloneRunner.h"
#include "upload/RclonePairStep.h"
#include "upload/UploadRuns.h"
#include "upload/UploadState.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cmath>
#include <csignal>
#include <memory>

using namespace skyloft;
using skyloft::test::CapturedStdout;
using skyloft::test::drainEvents;
using skyloft::test::FakeRclone;
using skyloft::test::kDriveAndDropbox;
using skyloft::test::readFile;
using skyloft::test::writeFile;

namespace {

QString linkOf(const QString &remotePath)
{
    return QStringLiteral("https://links.example/") + remotePath;
}

// One upload screen's worth of state over a fake rclone.
struct Rig
{
    explicit Rig(const QString &handler, const QByteArray &config = kDriveAndDropbox)
    {
        fake.setHandler(handler);
        writeFile(fake.configPath(), config);
        state.rescanAuthorizations(fake.configPath());
    }
    // The owner of the rig's runs, over these paths.
    UploadRuns &owner(const RclonePaths &paths)
    {
        if (!runs) {
            runs = std::make_unique<UploadRuns>(paths);
            QObject::connect(runs.get(), &UploadRuns::pairFinished, &context,
                             [this](UploadRun *, const PairOutcome &o) { outcomes << o; });
            QObject::connect(runs.get(), &UploadRuns::runFinished, &context,
                             [this] { ++finished; });
        }
        return *runs;
    }
    Rig(const Rig &) = delete;
    Rig &operator=(const Rig &) = delete;

    // What the screen does: queue the files, select the services, press the button.
    void start(const QStringList &files, const QStringList &services)
    {
        start(files, services, fake.paths());
    }
    void start(const QStringList &files, const QStringList &services, const RclonePaths &paths)
    {
        for (const QString &path : files)
            state.appendArchivo(path);
        for (const QString &service : services)
            state.toggleService(service);
        run = owner(paths).startUpload(&state);
    }
    // (remote, file) -> state, and the links of the pairs uploaded.
    QStringList states() const
    {
        QStringList result;
        for (const PairOutcome &o : outcomes)
            result << o.remote + ":" + o.fileName + " " + pairStateText(o.state);
        return result;
    }
    QStringList links() const
    {
        QStringList result;
        for (const PairOutcome &o : outcomes)
            result << o.link;
        return result;
    }

    FakeRclone fake;
    QObject context;
    UploadState state;
    std::unique_ptr<UploadRuns> runs;
    UploadRun *run = nullptr; // deleted by `runs` after its end
    QList<PairOutcome> outcomes;
    int finished = 0;
};

// The run's own lines, without the pieces of rclone output and percentages.
QStringList runLines(const CapturedStdout &out)
{
    QStringList lines;
    for (const QString &line : out.lines()) {
        if (!line.isEmpty() && !line.startsWith(QLatin1String("rclone output parcial: ")) &&
            !line.startsWith(QLatin1String("Porcentaje detectado")) &&
            !line.startsWith(QLatin1String("Transferred:")))
            lines << line;
    }
    return lines;
}

QList<QStringList> callArguments(const FakeRclone &fake)
{
    QList<QStringList> result;
    for (const FakeRclone::Call &call : fake.calls())
        result << call.arguments;
    return result;
}

QStringList copyCall(const QString &config, const QString &file, const QString &remote)
{
    return {"--config", config, "copy", file, remote + ":/", "--progress", "--stats=1s"};
}

QStringList linkCall(const QString &config, const QString &remotePath)
{
    return {"--config", config, "link", remotePath};
}

// Every value a service's progress entry takes, with whether the copy result of `marker` had
// been printed at that moment.
struct ProgressTrace
{
    ProgressTrace(UploadState &state, const QString &service, const CapturedStdout *out = nullptr,
                  const QString &marker = QString())
    {
        QObject::connect(&state, &UploadState::progressDictChanged, &context,
                         [this, &state, service, out, marker] {
                             const auto it = state.progressDict().constFind(service);
                             Step step;
                             step.exists = it != state.progressDict().cend();
                             if (step.exists)
                                 step.entry = *it;
                             step.markerPrinted = out && out->text().contains(marker);
                             steps << step;
                         });
    }
    struct Step
    {
        bool exists = false;
        ServiceProgress entry;
        bool markerPrinted = false;
    };
    QObject context;
    QList<Step> steps;
};

// A pair that ends only when the test says so.
class HeldStep : public PairStep
{
public:
    HeldStep(QList<HeldStep *> *running, QMap<QString, int> *most, QObject *parent)
        : PairStep(parent), m_running(running), m_most(most)
    {}
    ~HeldStep() override { m_running->removeOne(this); }
    void start(const CopyJob &job) override
    {
        m_job = job;
        m_running->append(this);
        const auto same = [&](const HeldStep *s) { return s->m_job.remoteName == job.remoteName; };
        (*m_most)[job.remoteName] =
            std::max<int>(m_most->value(job.remoteName),
                          int(std::count_if(m_running->cbegin(), m_running->cend(), same)));
    }
    void cancel() override {}
    PairOutcome abandon() override
    {
        m_running->removeOne(this);
        return outcomeFor(m_job);
    }
    void end()
    {
        m_running->removeOne(this);
        PairOutcome outcome = outcomeFor(m_job);
        outcome.link = linkOf(name());
        Q_EMIT ended(outcome);
    }
    QString name() const { return m_job.remoteName + ":" + m_job.fileName; }

private:
    QList<HeldStep *> *m_running;
    QMap<QString, int> *m_most;
    CopyJob m_job;
};

} // namespace

class TestUploadRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void servicesInOrderOneProcessAtATime()
    {
        // The first copy fails: its link is asked for all the same, and the run goes on.
        Rig rig(QStringLiteral(
            "case \"$3:$4:$5\" in\n"
            "copy:/datos/a.txt:drive:/) echo 'Failed to copy: not found' >&2; exit 3 ;;\n"
            "copy:*) echo 'Transferred: 1 B / 2 B, 50%, 1 B/s, ETA 1s'; nap 0.05 ;;\n"
            "link:*) echo \"https://links.example/$4\" ;;\n"
            "esac\n"));
        CapturedStdout out;
        rig.start({"/datos/a.txt", "/datos/b.txt"}, {"Dropbox", "Google Drive"});
        QVERIFY(rig.state.isUploading());
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, 1, 15000);

        const QString c = rig.fake.configPath();
        QCOMPARE(callArguments(rig.fake),
                 (QList<QStringList>{
                     copyCall(c, "/datos/a.txt", "drive"), linkCall(c, "drive:/a.txt"),
                     copyCall(c, "/datos/b.txt", "drive"), linkCall(c, "drive:/b.txt"),
                     copyCall(c, "/datos/a.txt", "dropbox"), linkCall(c, "dropbox:/a.txt"),
                     copyCall(c, "/datos/b.txt", "dropbox"), linkCall(c, "dropbox:/b.txt")}));
        QVERIFY(!rig.fake.overlapped());
        const RcloneEnvironment environment = makeRcloneEnvironment(rig.fake.paths());
        for (const FakeRclone::Call &call : rig.fake.calls()) {
            QCOMPARE(call.environment, environment);
            QCOMPARE(call.standardInput, QByteArray());
        }

        QCOMPARE(
            runLines(out),
            (QStringList{"Iniciando subida para Google Drive",
                         "Resultado de 'copy' para Google Drive en archivo /datos/a.txt: ",
                         "Enlace generado para a.txt en Google Drive: " + linkOf("drive:/a.txt"),
                         "Resultado de 'copy' para Google Drive en archivo /datos/b.txt: ",
                         "Enlace generado para b.txt en Google Drive: " + linkOf("drive:/b.txt"),
                         "Iniciando subida para Dropbox",
                         "Resultado de 'copy' para Dropbox en archivo /datos/a.txt: ",
                         "Enlace generado para a.txt en Dropbox: " + linkOf("dropbox:/a.txt"),
                         "Resultado de 'copy' para Dropbox en archivo /datos/b.txt: ",
                         "Enlace generado para b.txt en Dropbox: " + linkOf("dropbox:/b.txt"),
                         "✅ Todas las subidas completadas"}));
        QVERIFY(out.lines().contains("rclone output parcial: Failed to copy: not found"));
        // The failed copy's link was asked for, but the pair keeps the copy's failure.
        QCOMPARE(rig.states(), (QStringList{"drive:a.txt copia fallida", "drive:b.txt subido",
                                            "dropbox:a.txt subido", "dropbox:b.txt subido"}));
        QCOMPARE(rig.links(), (QStringList{"", linkOf("drive:/b.txt"), linkOf("dropbox:/a.txt"),
                                           linkOf("dropbox:/b.txt")}));
        QCOMPARE(rig.outcomes.first().detail, QStringLiteral("Failed to copy: not found"));
        QCOMPARE(rig.outcomes.first().localPath, QStringLiteral("/datos/a.txt"));
        QVERIFY(!rig.state.isUploading());
        QVERIFY(rig.state.archivosSeleccionados().isEmpty());
        QVERIFY(rig.state.serviciosSeleccionados().isEmpty());
        QVERIFY(rig.state.progressDict().isEmpty());
        drainEvents();
        QCOMPARE(rig.finished, 1);
    }

    void progressOfTheSecondFileCountsTheFirst()
    {
        Rig rig(QStringLiteral("case \"$3:$4\" in\n"
                               "copy:/datos/b.txt) echo 'Transferred: 42 B / 100 B, 42%, "
                               "1 B/s, ETA 1s'; nap 0.3 ;;\n"
                               "link:*) echo l ;;\n"
                               "esac\n"));
        CapturedStdout out;
        ProgressTrace trace(rig.state, "Google Drive", &out,
                            "Resultado de 'copy' para Google Drive en archivo /datos/a.txt");
        rig.start({"/datos/a.txt", "/datos/b.txt"}, {"Google Drive"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, 1, 10000);

        QList<ServiceProgress> entries;
        for (const auto &step : trace.steps) {
            if (step.exists)
                entries << step.entry;
        }
        QCOMPARE(entries, (QList<ServiceProgress>{{0.0, ""},
                                                  {0.0, "a.txt"},
                                                  {0.5, "a.txt"},
                                                  {0.5, "b.txt"},
                                                  {0.71, "b.txt"},
                                                  {1.0, "b.txt"}}));
        // The end of the first copy reaches the entry only after its result was handled.
        QVERIFY(trace.steps.at(2).markerPrinted);
        QVERIFY(!trace.steps.last().exists); // the end of the run empties the dictionary
    }

    void emptyGlobalRclonePath()
    {
        Rig rig(QStringLiteral("echo 'https://l/x'\n"));
        // The copy's executable is fixed when the paths are made; the link's is looked up afresh.
        QTemporaryDir resources;
        const RclonePaths paths(resources.path(), rig.fake.home());
        QVERIFY(paths.globalRclonePath().isEmpty());
        QVERIFY(QFile::link(rig.fake.resourceDir() + "/rclone", resources.path() + "/rclone"));
        CapturedStdout out;
        ProgressTrace trace(rig.state, "Google Drive");
        rig.start({"/datos/a.txt"}, {"Google Drive"}, paths);
        QTRY_COMPARE(rig.finished, 1);

        QCOMPARE(callArguments(rig.fake),
                 (QList<QStringList>{linkCall(rig.fake.configPath(), "drive:/a.txt")}));
        QVERIFY(runLines(out).contains(
            "Resultado de 'copy' para Google Drive en archivo /datos/a.txt: ❌ globalRclonePath "
            "está vacío"));
        for (const auto &step : trace.steps)
            QCOMPARE(step.entry.progress, 0.0);
        QCOMPARE(rig.states(), QStringList{"drive:a.txt copia fallida"});
        QCOMPARE(rig.outcomes.first().detail, kGlobalRclonePathVacio);
    }

    void serviceLosingItsAuthorizationIsSkipped()
    {
        // The first copy waits for "go", so the rescan surely lands while it runs.
        Rig rig(QStringLiteral("case \"$3\" in\n"
                               "copy) while [ ! -f \"$HOME/go\" ]; do nap 0.05; done ;;\n"
                               "link) echo l ;;\n"
                               "esac\n"));
        CapturedStdout out;
        rig.start({"/datos/a.txt", "/datos/b.txt"}, {"Google Drive", "Dropbox"});
        QTRY_COMPARE(rig.fake.callCount(), 1);
        writeFile(rig.fake.configPath(), "[dropbox]\ntype = dropbox\ntoken = t\n");
        QVERIFY(rig.state.rescanAuthorizations(rig.fake.configPath()));
        QVERIFY(writeFile(rig.fake.home() + "/go", ""));
        QTRY_COMPARE(rig.finished, 1);

        const QString c = rig.fake.configPath();
        QCOMPARE(callArguments(rig.fake),
                 (QList<QStringList>{
                     copyCall(c, "/datos/a.txt", "drive"), linkCall(c, "drive:/a.txt"),
                     copyCall(c, "/datos/a.txt", "dropbox"), linkCall(c, "dropbox:/a.txt"),
                     copyCall(c, "/datos/b.txt", "dropbox"), linkCall(c, "dropbox:/b.txt")}));
        const QStringList lines = runLines(out);
        const qsizetype skipped = lines.indexOf("❌ Servicio Google Drive no autorizado. Saltando.");
        QVERIFY(skipped > 0);
        QCOMPARE(lines.at(skipped - 1),
                 QStringLiteral("Enlace generado para a.txt en Google Drive: l"));
        QCOMPARE(lines.at(skipped + 1), QStringLiteral("Iniciando subida para Dropbox"));
        QVERIFY(rig.states().contains("drive:b.txt copia fallida"));
    }

    // Several pairs in flight per service, never more than asked; pairs that end out of order
    // wait, so each service's pairs (and so its links) come in queue order.
    void pairsInFlightAreAnnouncedInQueueOrder()
    {
        Rig rig{QString()};
        QList<HeldStep *> running;
        QMap<QString, int> most;
        rig.owner(rig.fake.paths())
            .setSteps([&](QObject *parent) { return new HeldStep(&running, &most, parent); },
                      UploadRun::Order::ServicesSideBySide, 4);
        const auto end = [&](const QString &name) {
            const auto it = std::find_if(running.cbegin(), running.cend(),
                                         [&](const HeldStep *s) { return s->name() == name; });
            QVERIFY2(it != running.cend(), qPrintable(name));
            (*it)->end();
        };
        const QDateTime began = QDateTime::currentDateTimeUtc();
        rig.start({"/a/1", "/a/2", "/a/3", "/a/4", "/a/5", "/a/6"}, {"Google Drive", "Dropbox"});
        QTRY_COMPARE(running.size(), 8);
        for (const char *name : {"drive:4", "drive:3", "drive:2"})
            end(name);
        QVERIFY(rig.outcomes.isEmpty()); // all wait for the first
        end("drive:1");
        QCOMPARE(rig.states().join(' '), QStringLiteral("drive:1 subido drive:2 subido "
                                                        "drive:3 subido drive:4 subido"));
        while (!running.isEmpty())
            running.last()->end();
        QTRY_COMPARE(rig.finished, 1);
        QCOMPARE(most, (QMap<QString, int>{{"drive", 4}, {"dropbox", 4}}));
        QStringList drive;
        QStringList dropbox;
        for (const PairOutcome &o : std::as_const(rig.outcomes)) {
            (o.remote == "drive" ? drive : dropbox) << o.link;
            // Each knows when it ended, for the links tab's exports.
            QVERIFY(o.ended >= began && o.ended <= QDateTime::currentDateTimeUtc());
        }
        for (const QString remote : {"drive", "dropbox"}) {
            QStringList inOrder;
            for (int i = 1; i <= 6; ++i)
                inOrder << linkOf(remote + ":" + QString::number(i));
            QCOMPARE(remote == "drive" ? drive : dropbox, inOrder);
        }
    }

    // A daemon that dies during the run is started once more; when it dies again, the pairs it
    // had and every later one go through processes, and none is failed for it.
    void aDaemonGoneForGoodLeavesTheRestToProcesses()
    {
        Rig rig{QString()};
        rig.fake.serveFakeDaemon(
            QStringLiteral("(method, params) => {\n"
                           "  if (method === 'operations/copyfile' && params.srcRemote === 'c')\n"
                           "    process.exit(1);\n"
                           "  return false;\n"
                           "}"),
            QStringLiteral("case \"$3\" in link) echo \"https://l/$4\" ;; esac\n"));
        writeFile(rig.fake.configPath(), kDriveAndDropbox);
        rig.owner(rig.fake.paths()).setEngine(UploadRun::Engine::Daemon);
        CapturedStdout out;
        rig.start({"/d/a", "/d/b", "/d/c", "/d/d", "/d/e", "/d/f"}, {"Google Drive"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, 1, 30000);
        QCOMPARE(rig.states(), (QStringList{"drive:a subido", "drive:b subido", "drive:c subido",
                                            "drive:d subido", "drive:e subido", "drive:f subido"}));
        QCOMPARE(
            out.lines().count(QStringLiteral("⚠️ Subida rápida se detuvo; el resto se sube "
                                             "con un proceso por archivo.")),
            1);
        QStringList copied; // by processes
        int daemons = 0;
        for (const QStringList &arguments : callArguments(rig.fake)) {
            daemons += arguments.contains("rcd");
            if (arguments.value(2) == "copy")
                copied << arguments.value(3);
        }
        QCOMPARE(daemons, 2);
        QVERIFY2(copied.contains("/d/c") && copied.contains("/d/f"), qPrintable(copied.join(' ')));
    }

    // A limit set during a run reaches its daemon at once (the copies here wait for it), and
    // every link is asked with the expiry; a service that refuses it still gives its links.
    void aLimitReachesTheDaemonDuringTheRun()
    {
        Rig rig{QString()};
        rig.fake.serveFakeDaemon(
            QStringLiteral("(method, params, answer, state) => {\n"
                           "  state.held = state.held || [];\n"
                           "  if (method === 'operations/copyfile' && !state.limited) {\n"
                           "    state.held.push(answer); return true; }\n"
                           "  if (method === 'core/bwlimit') {\n"
                           "    state.limited = true; state.held.forEach((a) => a(200, {}));\n"
                           "    answer(200, {rate: params.rate}); return true; }\n"
                           "  if (method === 'operations/publiclink' && params.expire &&\n"
                           "      params.fs === 'dropbox:') {\n"
                           "    answer(500, {error: 'expiry not supported'}); return true; }\n"
                           "  return false;\n"
                           "}"));
        UploadRuns &owner = rig.owner(rig.fake.paths());
        owner.setEngine(UploadRun::Engine::Daemon);
        owner.setLinkExpiry("7d");
        CapturedStdout out;
        rig.start({"/d/a", "/d/b"}, {"Google Drive", "Dropbox"});
        const auto asked = [&](const QString &method) {
            QList<QJsonObject> params;
            for (const QJsonObject &request : rig.fake.daemonRequests()) {
                if (request.value("method").toString() == method && !request.contains("aborted"))
                    params << request.value("params").toObject();
            }
            return params;
        };
        QTRY_COMPARE_WITH_TIMEOUT(asked("operations/copyfile").size(), 4, 30000);
        owner.setBandwidthLimit("5M");
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, 1, 30000);
        QCOMPARE(rig.states(), (QStringList{"drive:a subido", "drive:b subido", "dropbox:a subido",
                                            "dropbox:b subido"}));
        QCOMPARE(asked("core/bwlimit").size(), 1);
        QCOMPARE(asked("core/bwlimit").first().value("rate").toString(), QStringLiteral("5M"));
        for (const QJsonObject &link : asked("operations/publiclink")) {
            if (link.value("fs") == "drive:")
                QCOMPARE(link.value("expire").toString(), QStringLiteral("7d"));
        }
        const QStringList lines = out.lines();
        for (const QString file : {"a", "b"}) {
            QCOMPARE(lines.count("⚠️ Dropbox no admite caducidad en sus enlaces: el de " +
                                 file + " no caduca."),
                     1);
        }
        QVERIFY(!lines.join('\n').contains("Google Drive no admite"));
    }

    // "Cancelar todo" ends the run at once: the link obtained stays, every other pair is
    // cancelado (the last file's too), and the queue keeps only the files not finished, with
    // the selection.
    void cancelAllStopsTheRun()
    {
        Rig rig(QStringLiteral("case \"$3:$4\" in\n"
                               "copy:*b.txt) nap 30 ;;\n"
                               "link:*) echo \"https://links.example/$4\" ;;\n"
                               "esac\n"));
        rig.start({"/datos/a.txt", "/datos/b.txt"}, {"Google Drive"});
        QTRY_VERIFY(rig.fake.callCount() == 3 && rig.fake.lastCallWaits());
        const pid_t copying = pid_t(rig.fake.pidOf(3));
        rig.runs->cancelAll(&rig.state);
        QCOMPARE(::kill(copying, 0), -1); // gone, and reaped
        QCOMPARE(rig.finished, 1);
        QCOMPARE(rig.states(), (QStringList{"drive:a.txt subido", "drive:b.txt cancelado"}));
        QCOMPARE(rig.links().first(), linkOf("drive:/a.txt"));
        QVERIFY(!rig.state.isUploading());
        QVERIFY(rig.state.progressDict().isEmpty());
        QCOMPARE(rig.state.archivosSeleccionados(), QStringList{"/datos/b.txt"});
        QCOMPARE(rig.state.serviciosSeleccionados(), QSet<QString>{"Google Drive"});
    }

    void cancelOnACardSticks_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<int>("stoppedCall"); // the Google Drive run the cancel ends
        QTest::newRow("during the copy") << "case \"$3:$5\" in copy:drive:/) nap 30 ;; link:*) "
                                            "echo \"https://links.example/$4\" ;; esac\n"
                                         << 1;
        QTest::newRow("during the link request")
            << "case \"$3:$4\" in link:drive:*) nap 30 ;; link:*) "
               "echo \"https://links.example/$4\" ;; esac\n"
            << 2;
    }

    void cancelOnACardSticks()
    {
        QFETCH(QString, handler);
        QFETCH(int, stoppedCall);
        Rig rig(handler, kDriveAndDropbox + "\n[mega]\ntype = mega\nuser = u\n");
        CapturedStdout out;
        rig.start({"/datos/a.txt", "/datos/b.txt"}, {"Google Drive", "Dropbox", "Mega"});
        // The fake has its signal trap in place once it reads its input.
        QTRY_VERIFY(QFile::exists(rig.fake.callDir(stoppedCall) + "/stdin"));
        rig.runs->cancelService(&rig.state, "Mega"); // not reached yet
        rig.runs->cancelService(&rig.state, "Google Drive");
        QCOMPARE(rig.state.canceledServices(), (QSet<QString>{"Mega", "Google Drive"}));
        // "Cancelar todo" empties the screen's set; the run still keeps both cancelled.
        rig.state.cancelAll();
        QTRY_COMPARE(rig.finished, 1);

        QVERIFY(rig.fake.calls().at(stoppedCall - 1).terminated);
        const QString c = rig.fake.configPath();
        QList<QStringList> expected{copyCall(c, "/datos/a.txt", "drive")};
        if (stoppedCall == 2)
            expected << linkCall(c, "drive:/a.txt");
        expected << copyCall(c, "/datos/a.txt", "dropbox") << linkCall(c, "dropbox:/a.txt")
                 << copyCall(c, "/datos/b.txt", "dropbox") << linkCall(c, "dropbox:/b.txt");
        QCOMPARE(callArguments(rig.fake), expected);
        const QStringList lines = runLines(out);
        QCOMPARE(lines.mid(lines.size() - 2), (QStringList{"Servicio Mega cancelado, saltando...",
                                                           "✅ Todas las subidas completadas"}));
        QVERIFY(lines.contains("Servicio Google Drive cancelado durante subida; saliendo."));
        QCOMPARE(rig.states(), (QStringList{"drive:a.txt cancelado", "drive:b.txt cancelado",
                                            "dropbox:a.txt subido", "dropbox:b.txt subido",
                                            "mega:a.txt cancelado", "mega:b.txt cancelado"}));
    }

    void destroyingTheRunStopsItsChildQuietly_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::newRow("during a copy") << "case \"$3\" in copy) nap 30 ;; esac\n";
        QTest::newRow("during a link") << "case \"$3\" in link) nap 30 ;; esac\n";
    }

    void destroyingTheRunStopsItsChildQuietly()
    {
        QFETCH(QString, handler);
        Rig rig(handler);
        rig.start({"/datos/a.txt"}, {"Google Drive"});
        QTRY_VERIFY(rig.fake.callCount() > 0 && rig.fake.lastCallWaits());
        const pid_t pid = pid_t(rig.fake.pidOf(rig.fake.callCount()));
        QVERIFY(pid > 0);
        CapturedStdout out;
        const qsizetype before = rig.outcomes.size();
        rig.runs->discard(&rig.state);
        QCOMPARE(::kill(pid, 0), -1); // gone, and reaped
        drainEvents();
        QCOMPARE(rig.outcomes.size(), before);
        QCOMPARE(rig.finished, 0);
        QVERIFY2(out.text().isEmpty(), qPrintable(out.text()));
    }

    // rclone prints "0 B/s" every moment while nothing moves: that is no progress. The notice
    // comes on the card and in the log, the copy goes on, and the notice goes once bytes move.
    void aCopyMovingNoBytesIsStalled()
    {
        qputenv("SKYLOFT_STALL_SECONDS", "1");
        Rig rig(QStringLiteral("case \"$3\" in\n"
                               "copy) while [ ! -f \"$HOME/go\" ]; do\n"
                               "    echo 'Transferred: 0 B / 10 B, 0%, 0 B/s, ETA -'; nap 0.1\n"
                               "  done; echo 'Transferred: 10 B / 10 B, 100%, 10 B/s, ETA 0s' ;;\n"
                               "link) echo l ;;\n"
                               "esac\n"));
        QList<int> reported;
        CapturedStdout out;
        rig.start({"/datos/a.txt"}, {"Google Drive"});
        qunsetenv("SKYLOFT_STALL_SECONDS");
        QObject::connect(
            rig.runs.get(), &UploadRuns::stalled, &rig.context,
            [&](UploadRun *, const QString &service, const QString &file, int seconds) {
                // The notice that clears once the pair has ended names no file.
                if (seconds > 0)
                    QCOMPARE(service + "|" + file, QStringLiteral("Google Drive|a.txt"));
                reported << seconds;
            });
        QTRY_VERIFY_WITH_TIMEOUT(!reported.isEmpty(), 15000);
        QCOMPARE(reported, QList<int>{1});
        QCOMPARE(rig.state.progressDict().value("Google Drive").stalledSeconds, 1);
        QVERIFY(out.lines().contains("⚠️ Sin progreso desde hace 1 s: a.txt en Google Drive"));
        QVERIFY(rig.fake.lastCallWaits()); // still copying
        QVERIFY(writeFile(rig.fake.home() + "/go", ""));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, 1, 15000);
        // Bytes moving clears the notice at once. A link step slowed past a second by a loaded
        // machine is a stall too, so more may follow, but the end always clears it.
        QCOMPARE(reported.mid(0, 2), (QList<int>{1, 0}));
        QCOMPARE(reported.last(), 0);
        QCOMPARE(rig.states(), QStringList{"drive:a.txt subido"});
    }

    void applyServiceProgress_data()
    {
        QTest::addColumn<bool>("hasEntry");
        QTest::addColumn<double>("overall");
        QTest::addColumn<ServiceProgress>("expected");
        const double nan = std::nan("");
        QTest::newRow("a lower value leaves the entry") << true << 0.3 << ServiceProgress{0.6, "a"};
        QTest::newRow("a higher value raises it and keeps the file")
            << true << 0.7 << ServiceProgress{0.7, "a"};
        QTest::newRow("NaN leaves the entry") << true << nan << ServiceProgress{0.6, "a"};
        QTest::newRow("without an entry: the value and no file")
            << false << 0.4 << ServiceProgress{0.4, ""};
        QTest::newRow("without an entry a negative value gives 0")
            << false << -0.5 << ServiceProgress{0.0, ""};
        QTest::newRow("without an entry NaN gives 0") << false << nan << ServiceProgress{0.0, ""};
    }

    void applyServiceProgress()
    {
        QFETCH(bool, hasEntry);
        QFETCH(double, overall);
        QFETCH(ServiceProgress, expected);
        UploadState state;
        if (hasEntry) {
            state.resetServiceProgress("Mega");
            state.setProgressFileName("Mega", "a");
            state.applyServiceProgress("Mega", 0.6);
        }
        state.applyServiceProgress("Mega", overall);
        QCOMPARE(state.progressDict().value("Mega"), expected);
    }

    void reportCopyProgressUsesTheQueueSizeNow()
    {
        UploadState state;
        for (const char *path : {"/a", "/b", "/c", "/d"})
            state.appendArchivo(path);
        state.resetServiceProgress("Dropbox");
        state.reportCopyProgress("Dropbox", 2, 0.5);
        QCOMPARE(state.progressDict().value("Dropbox").progress, 0.0); // applied later
        QTRY_COMPARE(state.progressDict().value("Dropbox").progress, 0.625);

        state.clearArchivos();
        state.reportCopyProgress("Dropbox", 3, 1.0);
        drainEvents();
        QCOMPARE(state.progressDict().value("Dropbox").progress, 0.625);
    }

    void realRcloneCopiesAndTheUnsupportedLinkFails()
    {
        QTemporaryDir root;
        const QString home = root.path() + "/home";
        const QString resources = root.path() + "/resources";
        const QString remoteRoot = root.path() + "/remote drive";
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(resources) && QDir().mkpath(remoteRoot));
        QVERIFY(QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE), resources + "/rclone"));
        // An alias remote keeps "drive:/" inside a folder of ours; "user =" marks it authorized.
        QVERIFY(writeFile(
            home + "/.rclone.conf",
            ("[drive]\ntype = alias\nremote = " + remoteRoot + "\nuser = test\n").toUtf8()));
        const QString name = QStringLiteral("mi \"archivo\" 'ñandú' ü.txt");
        const QString source = root.path() + "/origen/" + name;
        QVERIFY(writeFile(source, "hola, nube\n"));

        Rig rig{QString(), QByteArray()};
        QVERIFY(rig.state.rescanAuthorizations(home + "/.rclone.conf"));
        CapturedStdout out;
        ProgressTrace trace(rig.state, "Google Drive");
        rig.start({source}, {"Google Drive"}, RclonePaths(resources, home));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finished, 1, 30000);

        QCOMPARE(readFile(remoteRoot + "/" + name), QByteArray("hola, nube\n"));
        QVERIFY(!QFile::exists("/" + name));
        // A local remote has no public links: the copy is kept, the pair says the link failed.
        QCOMPARE(rig.states(), QStringList{"drive:" + name + " enlace fallido"});
        QVERIFY2(rig.outcomes.first().detail.contains("public link"),
                 qPrintable(rig.outcomes.first().detail));
        QCOMPARE(rig.outcomes.first().size, qint64(11));
        QVERIFY(out.lines().contains("Enlace generado para " + name + " en Google Drive: "));
        QVERIFY(std::any_of(trace.steps.cbegin(), trace.steps.cend(),
                            [](const auto &step) { return step.entry.progress == 1.0; }));
    }
};

QTEST_GUILESS_MAIN(TestUploadRun)
#include "test_upload_run.moc"
