// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace skyloft {

// How far one service of a run has gone, in files and bytes, as a person reads it under the bar.
struct ServiceTransfer
{
    int filesDone = 0;
    int filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = -1; // unknown while a file's size cannot be read
    double speed = 0;       // bytes a second now, 0 when nothing moves
    bool operator==(const ServiceTransfer &) const = default;
};

// "3 de 10 archivos · 12,3 MB de 48,0 MB · 4,1 MB/s · quedan 9 s": the bytes when known, the
// speed while something moves and the time left from it. Spanish number formats.
QString transferText(const ServiceTransfer &transfer);

// "512 B", "1,5 kB", "12,3 MB", "2,0 GB": decimal units, one decimal past bytes.
QString byteSizeText(qint64 bytes);

// "9 s", "2 min", "1 h 5 min".
QString durationText(qint64 seconds);

// "Sin progreso desde hace 45 s" under a minute, "Sin progreso desde hace 2 min" from one on.
QString stallNotice(int seconds);

} // namespace skyloft
