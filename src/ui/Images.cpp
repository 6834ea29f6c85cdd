// SPDX-License-Identifier: MIT
#include "ui/Images.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

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

} // namespace skyloft
