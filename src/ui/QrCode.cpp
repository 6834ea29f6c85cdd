// SPDX-License-Identifier: MIT
#include "ui/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace skyloft {

namespace {

constexpr int kQuietZone = 4;

} // namespace

QImage qrCodeImage(const QString &text, int moduleSize)
{
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char *>(bytes.data()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code || moduleSize < 1)
        return {};
    const int width = code->width;
    const int side = (width + 2 * kQuietZone) * moduleSize;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x) {
            // libqrencode's lowest bit of each byte tells a dark module.
            if (!(code->data[y * width + x] & 1))
                continue;
            for (int dy = 0; dy < moduleSize; ++dy) {
                uchar *line = image.scanLine((y + kQuietZone) * moduleSize + dy);
                std::fill_n(line + (x + kQuietZone) * moduleSize, moduleSize, uchar(0));
            }
        }
    }
    return image;
}

} // namespace skyloft
