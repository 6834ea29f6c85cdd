// SPDX-License-Identifier: MIT
// End to end inside tools/sandbox: the real rclone copies to the four service remotes (buckets of
// a local S3 server), and the link it gives for each file really downloads that file.
#include "core/RcloneCommands.h"
#include "core/RcloneConfigFile.h"
#include "core/RclonePaths.h"
#include "core/RcloneRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace skyloft;

namespace {

// Spaces, both quote characters and letters outside ASCII: what a real upload's name may hold.
const QString kFileName = QStringLiteral("Informe \"año\" d'Ñandú – ü.bin");

// Different bytes per remote (all 256 byte values included), so a link that served another
// remote's file would not compare equal.
QByteArray contentFor(const QString &remote)
{
    QByteArray content = remote.toUtf8() + '\n';
    for (int i = 0; i < 70000; ++i)
        content.append(char((i * 131 + remote.size() * 7) % 256));
    return content;
}

} // namespace

class TestSandbox : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_resources;
    QTemporaryDir m_sources;
    std::unique_ptr<RclonePaths> m_paths;

    // As the link retrieval does it: the link is the trimmed standard output; standard error
    // (where rclone notes that it shortened the expiry) is left out.
    QString fetchLink(const QString &remote)
    {
        QProcess process;
        process.setProgram(m_paths->currentRclonePath());
        process.setArguments(RcloneCommands::link(m_paths->rcloneConfigPath(), remote, kFileName));
        process.setProcessEnvironment(toProcessEnvironment(makeRcloneEnvironment(*m_paths)));
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start();
        if (!process.waitForFinished(60000))
            return {};
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString sandboxHome = qEnvironmentVariable("SKYLOFT_SANDBOX_HOME");
        if (sandboxHome.isEmpty())
            QFAIL("SKYLOFT_SANDBOX_HOME is not set: run this test through tools/sandbox");
        QCOMPARE(QFileInfo(QDir::homePath()).canonicalFilePath(),
                 QFileInfo(sandboxHome).canonicalFilePath());
        QVERIFY(m_resources.isValid());
        QVERIFY(m_sources.isValid());
        QVERIFY(QFile::link(QStringLiteral(SKYLOFT_REAL_RCLONE),
                            m_resources.filePath(QStringLiteral("rclone"))));
        m_paths = std::make_unique<RclonePaths>(m_resources.path(), QDir::homePath());
        QVERIFY(!m_paths->globalRclonePath().isEmpty());
    }

    void copyLinkAndDownload_data()
    {
        QTest::addColumn<QString>("remote");
        QTest::newRow("Google Drive") << QStringLiteral("drive");
        QTest::newRow("Dropbox") << QStringLiteral("dropbox");
        QTest::newRow("Mega") << QStringLiteral("mega");
        QTest::newRow("1Fichier") << QStringLiteral("fichier");
    }

    void copyLinkAndDownload()
    {
        QFETCH(QString, remote);
        const QString folder = m_sources.filePath(remote);
        QVERIFY(QDir().mkpath(folder));
        const QString filePath = folder + QLatin1Char('/') + kFileName;
        const QByteArray content = contentFor(remote);
        QFile file(filePath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), qint64(content.size()));
        file.close();

        const QString copyOutput = runRcloneCollect(
            *m_paths, RcloneCommands::copy(m_paths->rcloneConfigPath(), filePath, remote),
            makeRcloneEnvironment(*m_paths));
        QVERIFY2(copyOutput.contains(QStringLiteral("Transferred:")), qPrintable(copyOutput));
        QVERIFY2(!copyOutput.contains(QStringLiteral("ERROR")), qPrintable(copyOutput));

        const QString link = fetchLink(remote);
        const QUrl url(link);
        QVERIFY2(url.isValid() && url.scheme() == QLatin1String("http"),
                 qPrintable(QStringLiteral("link: '") + link + QLatin1Char('\'')));
        QCOMPARE(url.port(), qEnvironmentVariableIntValue("SKYLOFT_SANDBOX_S3_PORT"));
        // The copy put the file at the top of the remote's bucket, under its own name.
        QCOMPARE(url.path(), QStringLiteral("/skyloft-") + remote + QLatin1Char('/') + kFileName);

        QNetworkAccessManager network;
        network.setTransferTimeout(30000);
        std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(url)));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(35000));
        QVERIFY2(reply->error() == QNetworkReply::NoError, qPrintable(reply->errorString()));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        const QByteArray downloaded = reply->readAll();
        QCOMPARE(downloaded.size(), content.size());
        QVERIFY(downloaded == content);
    }

    void everyServiceShowsAsAuthorized_data()
    {
        QTest::addColumn<ScanVariant>("variant");
        QTest::addColumn<QSet<QString>>("entries");
        QTest::newRow("upload screen")
            << ScanVariant::UploadScreen << QSet<QString>{"drive", "dropbox", "mega", "fichier"};
        QTest::newRow("configuration screen")
            << ScanVariant::ConfigScreen
            << QSet<QString>{"google drive", "dropbox", "mega", "1fichier"};
    }

    void everyServiceShowsAsAuthorized()
    {
        QFETCH(ScanVariant, variant);
        QFETCH(QSet<QString>, entries);
        const RcloneConfigFile config(m_paths->rcloneConfigPath());
        QSet<QString> added;
        QVERIFY(config.refreshAuthorizations(
            variant, [&added](const QString &entry) { added.insert(entry); }));
        QCOMPARE(added, entries);
    }
};

QTEST_GUILESS_MAIN(TestSandbox)
#include "test_sandbox.moc"
