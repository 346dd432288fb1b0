#include "register_link.h"

#include "cp1251.h"

namespace {
constexpr int rowAttempts = 3;
}

int32_t RegisterLink::readRow(uint8_t table, uint16_t row, QByteArray& bytes, int32_t enough) {
    return attempt(
        rowAttempts,
        [&] {
            return api.GetRowValue(kkmAddr, pcAddr, table, row, reinterpret_cast<uint8_t*>(bytes.data()),
                                   int32_t(bytes.size() - 1));
        },
        enough);
}

int32_t RegisterLink::writeRow(uint8_t table, uint16_t row, const QByteArray& bytes, int32_t enough) {
    return attempt(
        rowAttempts,
        [&] {
            return api.SetRowValue(kkmAddr, pcAddr, table, row, reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   int32_t(bytes.size() - 1));
        },
        enough);
}

QString RegisterLink::errorText(int32_t result) {
    return fromDeviceText(api.GetErrString(result));
}
