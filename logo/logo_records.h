#pragma once

#include "logo_frame.h"

#include <QByteArray>
#include <QImage>

// The records the register takes a logo in. A dot is black when its pixel's red is below 255,
// which reads the frame marks as the pixels they stand for.

// Bytes per row (width / 8), then the number of rows.
QByteArray logoHeader(const CopyArea& area);
// Preview row y of the area (the preview in RGB888): its number counted from 1 at the area's top,
// then its dots from left to right, 8 to a byte, the leftmost in bit 7, 1 for black.
QByteArray logoRow(const QImage& preview, const CopyArea& area, int y);
