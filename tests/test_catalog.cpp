// SPDX-License-Identifier: MIT
#include "FakeRclone.h"
#include "TestHelpers.h"

#include "auth/ConfigState.h"
#include "core/RcloneConfigFile.h"
#include "core/ServiceCatalog.h"
#include "screens/config/ConfigView.h"
#include "screens/config/CredentialField.h"
#include "screens/config/ServiceTile.h"
#include "screens/upload/ServicePill.h"
#include "screens/upload/UploadView.h"

#include <QApplication>
#include <QTest>

using namespace skyloft;
using namespace skyloft::test;

// A credential service that exists only as one more catalog row: nothing else in Skyloft is
// written for it.
class TestCatalog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        SKYLOFT_CATALOG_ROWS_BEGIN
        ServiceCatalog::add({.displayName = "Koofr",
                             .remoteType = "koofr",
                             .remoteName = "miskoofr",
                             .iconName = "link",
                             .authorization = AuthorizationKind::Credentials,
                             .credentials = {{"user", "Usuario de Koofr"},
                                             {"password", "Contraseña de Koofr", true}},
                             .missingCredentials = "❌ Ingresa usuario y contraseña para Koofr."});
        SKYLOFT_CATALOG_ROWS_END
    }

    void oneRowGivesTileFormAuthorizationScanAndPill()
    {
        FakeRclone fake;
        QVERIFY(writeFile(fake.configPath(), "[miskoofr]\ntype = koofr\nuser = ana\n"));
        const int lowest = freeLowestPort();
        ConfigView config(
            AuthorizationSetup{fake.paths(), fake.killallPath(), lowest, lowest + 20});
        config.resize(700, 520);
        config.show();
        QVERIFY(QTest::qWaitForWindowExposed(&config));

        QStringList tiles;
        ServiceTile *koofr = nullptr;
        for (ServiceTile *tile : config.findChildren<ServiceTile *>()) {
            tiles << tile->accessibleName();
            if (tile->displayName() == "Koofr")
                koofr = tile;
        }
        QCOMPARE(tiles.size(), 5);
        QVERIFY(koofr);
        QCOMPARE(koofr->accessibleName(), "Koofr, autorizado"); // scanned under its own name

        QTest::mouseClick(koofr, Qt::LeftButton, {}, koofr->plateRect().center());
        QList<CredentialField *> fields;
        for (CredentialField *field : config.findChildren<CredentialField *>()) {
            if (field->isVisible())
                fields << field;
        }
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields[0]->placeholderText(), "Usuario de Koofr");
        QCOMPARE(fields[1]->echoMode(), QLineEdit::Password);

        // An empty field stops at the row's message; filled, rclone gets the row's keys.
        QTest::keyClick(fields[1], Qt::Key_Return);
        QTRY_COMPARE(config.state()->mensaje(), "❌ Ingresa usuario y contraseña para Koofr.");
        QTest::keyClicks(fields[0], "eva");
        QTest::keyClicks(fields[1], "s e");
        QTest::keyClick(fields[1], Qt::Key_Return);
        QTRY_COMPARE(fake.callCount(), 1);
        QVERIFY(finishAuthorizations());
        QCOMPARE(fake.calls().first().arguments.mid(2),
                 (QStringList{"config", "create", "miskoofr", "koofr", "user", "eva", "password",
                              "s e"}));

        UploadView upload({fake.paths(), {}, {}, {}, nullptr});
        QStringList pills;
        for (ServicePill *pill : upload.findChildren<ServicePill *>())
            pills << pill->displayName();
        QVERIFY(pills.contains("Koofr"));
    }
};

QTEST_MAIN(TestCatalog)
#include "test_catalog.moc"
