#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The register speaks single-byte Windows-1251 text and the window speaks
// Unicode; every conversion between them goes through here.

QString fromCp1251(QByteArrayView bytes);
// A zero-terminated text handed out by the device library; null gives "".
QString fromDeviceText(const char* text);
// Characters Windows-1251 cannot hold become '?'; check with fitsCp1251 where the user types.
QByteArray toCp1251(QStringView text);
bool fitsCp1251(QStringView text);
