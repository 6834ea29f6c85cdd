// SPDX-License-Identifier: MIT
// Renders an SVG into a square PNG: render-icon IN.svg OUT.png SIZE. Used by the build for the
// application icon's fixed sizes, so they always follow the scalable one.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "uso: render-icon ENTRADA.svg SALIDA.png TAMAÑO\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const int size = QByteArray(argv[3]).toInt();
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "render-icon: no se puede leer %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    return image.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
