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
// The same, kept in the pixmap cache, and tinted with `tint` when it is valid.
QPixmap cachedImagePixmap(const QString &name, QSize size, qreal devicePixelRatio,
                          const QColor &tint = {});

// The colour of the image of another remote (remoteImageName()): one per backend, the same in
// every session.
QColor backendTint(const QString &backend);

} // namespace skyloft
