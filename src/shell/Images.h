// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace skyloft {

// Images shipped in the resources, by name ("logo", "googledrive", "trash", ...). A missing image
// gives a null icon or pixmap, which draws nothing.
QString imagePath(const QString &name);
QIcon imageIcon(const QString &name);
QPixmap imagePixmap(const QString &name, QSize size, qreal devicePixelRatio = 1.0);
// The same square image for painting, tinted with `tint` when it is valid, kept in the pixmap
// cache so that repaints do not render the SVG again.
QPixmap cachedImagePixmap(const QString &name, int size, qreal devicePixelRatio,
                          const QColor &tint = {});

} // namespace skyloft
