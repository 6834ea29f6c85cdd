// SPDX-License-Identifier: MIT
#include "ui/Images.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <iterator>

// The images live in a static library, whose resources are registered only when asked for.
static void registerImages()
{
    Q_INIT_RESOURCE(images);
}

namespace skyloft {

QString imagePath(const QString &name)
{
    static const bool registered = (registerImages(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/images/") + name + QStringLiteral(".svg");
}

QIcon imageIcon(const QString &name)
{
    const QString path = imagePath(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QPixmap imagePixmap(const QString &name, QSize size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(imagePath(name));
    if (!renderer.isValid())
        return {};
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter); // stretched to fit, as the screens ask
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QPixmap cachedImagePixmap(const QString &name, QSize size, qreal devicePixelRatio,
                          const QColor &tint)
{
    const QString key = QStringLiteral("image/%1/%2x%3/%4/%5")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio)
                            .arg(tint.isValid() ? tint.name(QColor::HexArgb) : QString());
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = imagePixmap(name, size, devicePixelRatio);
    if (!pixmap.isNull() && tint.isValid()) {
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), tint);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QColor backendTint(const QString &backend)
{
    // Dark enough to stand by white text on the grey and the blue pills.
    static const QColor palette[] = {QColor(0x00, 0x83, 0x8f), QColor(0x7e, 0x57, 0xc2),
                                     QColor(0xe6, 0x51, 0x00), QColor(0xc2, 0x18, 0x5b),
                                     QColor(0x2e, 0x7d, 0x32), QColor(0x39, 0x49, 0xab),
                                     QColor(0x6d, 0x4c, 0x41), QColor(0x00, 0x69, 0x5c)};
    // FNV-1a: qHash is seeded per process, and a backend should keep its colour.
    quint32 hash = 2166136261u;
    for (const QChar c : backend)
        hash = (hash ^ c.unicode()) * 16777619u;
    return palette[hash % std::size(palette)];
}

} // namespace skyloft
