// SPDX-License-Identifier: MIT
#include "ui/SystemStyle.h"

#include <QApplication>
#include <QTest>

#include <cmath>

using namespace skyloft;

namespace {

// WCAG 2 relative luminance and contrast ratio.
qreal luminance(const QColor &colour)
{
    const auto channel = [](qreal c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

qreal contrast(const QColor &a, const QColor &b)
{
    const qreal la = luminance(a);
    const qreal lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor over(const QColor &top, const QColor &bottom)
{
    const qreal a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

// Layers from the page up, as the screens paint them.
QColor stacked(const QList<QColor> &layers)
{
    QColor colour = pageColour();
    for (const QColor &layer : layers)
        colour = over(layer, colour);
    return colour;
}

qreal pixelsAt96Dpi(const QFont &font)
{
    return font.pointSizeF() * 96.0 / 72.0;
}

} // namespace

class TestSystemStyle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QApplication::setPalette(appearancePalette(Appearance::Light)); }

    // Every text colour on the background it is drawn on, in both appearances: 4.5:1, or 3:1
    // for large text (18 px, or 14 px bold).
    void textContrast_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QFont>("font");
        for (const Appearance appearance : {Appearance::Light, Appearance::Dark}) {
            QApplication::setPalette(appearancePalette(appearance));
            QCOMPARE(currentAppearance(), appearance);
            const QPalette palette = QApplication::palette();
            const QString prefix = appearance == Appearance::Dark ? "oscuro: " : "claro: ";
            const auto row = [&](const char *name, const QColor &text, const QList<QColor> &layers,
                                 const QFont &font) {
                QTest::newRow(qPrintable(prefix + name)) << text << stacked(layers) << font;
            };
            const QFont plateButton = systemFont(16, QFont::DemiBold);
            const QFont bar = systemFont(10, QFont::Medium);
            // One row for texts of the same colours: the one with the smallest font.
            row("título, Suelta archivos aquí, recuento de la cola, sin enlaces",
                secondaryLabelColour(), {}, textStyleFont(TextStyle::Footnote));
            row("archivo en cola", systemBlue(), {}, textStyleFont(TextStyle::Footnote));
            row("Eliminar todos los archivos", systemRed(), {systemGray(0.12)},
                textStyleFont(TextStyle::Subheadline));
            row("Servicios:, Subiendo archivos..., ruta del archivo de configuración",
                labelColour(), {}, textStyleFont(TextStyle::Caption));
            row("servicio elegido", onPlateColour(), {bluePlateColour()},
                textStyleFont(TextStyle::Subheadline));
            row("Subir Archivos", onPlateColour(), {bluePlateColour(0.8)}, plateButton);
            row("tarjeta de progreso", labelColour(), {cardColour(0.9)},
                textStyleFont(TextStyle::Headline));
            row("servicio sin elegir, barra sin llenar", onPlateColour(), {greyPlateColour()}, bar);
            row("barra, inicio del relleno", onPlateColour(),
                {greyPlateColour(), bluePlateColour(0.6)}, bar);
            row("Cancelar todo", onPlateColour(), {redPlateColour()},
                textStyleFont(TextStyle::Headline));
            row("nombre en el mosaico", labelColour(), {cardColour()},
                textStyleFont(TextStyle::Caption2));
            row("autorizado, No disponible", secondaryLabelColour(), {cardColour()},
                textStyleFont(TextStyle::Caption2));
            row("texto de un campo", labelColour(), {systemGray(0.1)},
                textStyleFont(TextStyle::Body));
            row("marcador de un campo", darkGray(), {systemGray(0.1)},
                textStyleFont(TextStyle::Body));
            row("Autorizar", onPlateColour(), {bluePlateColour(0.9)}, plateButton);
            row("aviso", onPlateColour(), {toastPlateColour()}, textStyleFont(TextStyle::Body));
            row("Enlaces Generados, cabecera de servicio", nearBlack(), {},
                textStyleFont(TextStyle::Title3, true));
            row("nombre de archivo", nearBlack(), {systemGray(0.1)},
                textStyleFont(TextStyle::Subheadline, true));
            row("enlace, Detalles", systemBlue(), {systemGray(0.1)},
                textStyleFont(TextStyle::Caption));
            row("qué falló y qué hacer", systemRed(), {systemGray(0.1)},
                textStyleFont(TextStyle::Caption));
            row("líneas de rclone", secondaryLabelColour(), {systemGray(0.1)},
                textStyleFont(TextStyle::Caption));
            row("Reintentar", systemBlue(), {systemGray(0.1), systemBlue(0.1)},
                textStyleFont(TextStyle::Caption, true));
            row("botón de la barra", palette.color(QPalette::ButtonText),
                {palette.color(QPalette::Button)}, QApplication::font());
            row("pestaña", palette.color(QPalette::WindowText), {palette.color(QPalette::Window)},
                QApplication::font());
            for (const QPalette::ColorRole base : {QPalette::Base, QPalette::AlternateBase})
                row("copia fallida en el historial", systemRed(), {palette.color(base)},
                    QApplication::font());
        }
    }

    void textContrast()
    {
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        QFETCH(QFont, font);
        const qreal pixels = pixelsAt96Dpi(font);
        const bool large = pixels >= 18 || (pixels >= 14 && font.weight() >= QFont::Bold);
        const qreal ratio = contrast(text, background);
        qInfo("%.2f:1 at %.1f px", ratio, pixels);
        QVERIFY2(ratio >= (large ? 3.0 : 4.5), qPrintable(QStringLiteral("%1 on %2: %3:1")
                                                              .arg(text.name(), background.name())
                                                              .arg(ratio, 0, 'f', 2)));
    }

    // The parts of a picture that carry its meaning, against what is around them: 3:1.
    void graphicContrast_data()
    {
        QTest::addColumn<QColor>("graphic");
        QTest::addColumn<QColor>("background");
        for (const Appearance appearance : {Appearance::Light, Appearance::Dark}) {
            QApplication::setPalette(appearancePalette(appearance));
            const QString prefix = appearance == Appearance::Dark ? "oscuro: " : "claro: ";
            const auto row = [&](const char *name, const QColor &graphic,
                                 const QList<QColor> &layers) {
                QTest::newRow(qPrintable(prefix + name)) << graphic << stacked(layers);
            };
            const CheckBadgeColours onPage = checkBadgeOnPage();
            row("marca de autorizado sobre la página", onPage.disc, {});
            row("marca de autorizado sobre un mosaico", onPage.disc, {cardColour()});
            row("visto de la marca de autorizado", onPage.check, {onPage.disc});
            const CheckBadgeColours onPlate = checkBadgeOnPlate();
            row("marca de un servicio elegido", onPlate.disc, {bluePlateColour()});
            row("marca de un servicio sin elegir", onPlate.disc, {greyPlateColour()});
            row("visto de la marca de un servicio", onPlate.check, {onPlate.disc});
            row("icono de copiar enlace", systemBlue(), {systemGray(0.1), systemBlue(0.1)});
            row("borde de la tarjeta con el foco", systemBlue(), {});
        }
    }

    void graphicContrast()
    {
        QFETCH(QColor, graphic);
        QFETCH(QColor, background);
        const qreal ratio = contrast(graphic, background);
        qInfo("%.2f:1", ratio);
        QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1 on %2: %3:1")
                                              .arg(graphic.name(), background.name())
                                              .arg(ratio, 0, 'f', 2)));
    }

    // Whatever the desktop's font, no style is under 11 px and the ramp keeps its proportions.
    void typeRamp_data()
    {
        QTest::addColumn<qreal>("desktopPoints");
        QTest::newRow("small desktop font") << 7.0;
        QTest::newRow("common desktop font") << 9.0;
        QTest::newRow("large desktop font") << 14.0;
    }

    void typeRamp()
    {
        QFETCH(qreal, desktopPoints);
        const QFont saved = QApplication::font();
        QFont desktop = saved;
        desktop.setPointSizeF(desktopPoints);
        QApplication::setFont(desktop);
        const qreal caption = textStyleFont(TextStyle::Caption2).pointSizeF();
        const qreal body = textStyleFont(TextStyle::Body).pointSizeF();
        const qreal largeTitle = textStyleFont(TextStyle::LargeTitle).pointSizeF();
        QApplication::setFont(saved);
        QVERIFY2(caption >= kMinimumTextPoints - 1e-9, qPrintable(QString::number(caption)));
        QVERIFY(body >= desktopPoints - 1e-9);
        QCOMPARE(largeTitle / caption, 26.0 / 10.0);
        QCOMPARE(body / caption, 13.0 / 10.0);
    }
};

QTEST_MAIN(TestSystemStyle)
#include "test_system_style.moc"
