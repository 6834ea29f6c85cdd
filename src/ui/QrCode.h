// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

namespace skyloft {

// The QR code of `text` (UTF-8, medium error correction), black on white, `moduleSize` pixels a
// module, with the four-module quiet zone scanners need. A null image when the text is too long.
QImage qrCodeImage(const QString &text, int moduleSize);

} // namespace skyloft
