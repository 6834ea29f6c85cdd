// SPDX-License-Identifier: MIT
#include "core/ServiceCatalog.h"
#include "ui/Images.h"

#include <QImage>
#include <QSvgRenderer>
#include <QTest>

using namespace skyloft;

namespace {

// Every image the screens ask for. Service images come from the catalog's own rules, so renaming
// a file or changing a rule without the other shows up here.
QStringList namesInUse()
{
    QStringList names = {"logo", "arrow.up.doc", "link", "gearshape"};
    names << "checkmark.circle.fill"
          << "questionmark.circle"
          << "tray.and.arrow.down.fill"
          << "trash"
          << "arrow.up.circle.fill"
          << "doc.on.doc"
          << "xmark.circle.fill";
    for (const QString &service : ServiceCatalog::services())
        names << serviceIconName(service);
    for (const QString &service : ServiceCatalog::serviciosOrden())
        names << uploadServiceImageName(service);
    for (const ServiceEntry &entry : ServiceCatalog::entries()) {
        names << serviceIconName(entry.displayName);      // unlisted ones fall back
        names << linksSectionImageName(entry.remoteName); // section keys are remote names
        names << linksSectionImageName(entry.remoteName.toUpper());
    }
    names.removeDuplicates();
    return names;
}

int visiblePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyNameDraws_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : namesInUse())
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyNameDraws()
    {
        QFETCH(QString, name);
        const int side = 20;
        const QPixmap pixmap = imagePixmap(name, QSize(side, side));
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(side, side));
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        // Drawn inside the square, not a speck: artwork outside its view box would fail here.
        QVERIFY2(visiblePixels(image) * 10 > side * side,
                 qPrintable(QString::number(visiblePixels(image))));
        QVERIFY(!imageIcon(name).isNull());

        // The screens stretch images into squares; a non-square view box would distort.
        QSvgRenderer renderer(imagePath(name));
        QCOMPARE(renderer.viewBoxF().width(), renderer.viewBoxF().height());
    }

    void highDensityPixmapKeepsLogicalSize()
    {
        const QPixmap pixmap = imagePixmap(QStringLiteral("logo"), QSize(100, 100), 2.0);
        QCOMPARE(pixmap.size(), QSize(200, 200));
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(100, 100));
    }

    void unknownNameGivesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << "no.such.symbol";
        QTest::newRow("wrong case") << "Logo";
        QTest::newRow("with extension") << "logo.svg";
    }

    void unknownNameGivesNothing()
    {
        QFETCH(QString, name);
        QVERIFY(imagePixmap(name, QSize(20, 20)).isNull());
        QVERIFY(imageIcon(name).isNull());
    }
};

QTEST_MAIN(TestImages)
#include "test_images.moc"
