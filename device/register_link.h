#pragma once

#include "exchange_recorder.h"

#include <cstdint>
#include <QByteArray>
#include <QString>

// The state every device call shares, and the one place where calls are made
// and retried. The window owns one and hands it to the pages.
class RegisterLink {
public:
    // With a thread, the library's calls run on it (see DeviceThread).
    explicit RegisterLink(const DeviceTable& device, DeviceThread* thread = nullptr)
        : api(device, ExchangeLog::kCapacity, thread) {}

    // Makes `call` up to `attempts` times until its result is `enough` or more;
    // every result becomes the last result, so a failure leaves the last error there.
    template <typename Call> int32_t attempt(int attempts, Call&& call, int32_t enough = 0) {
        for (int i = 0; i < attempts; ++i) {
            lastResult = call();
            if (lastResult >= enough)
                break;
        }
        return lastResult;
    }

    // One table row, three attempts; the size argument is the index of the row's last byte.
    // The operators' table asks for more than success to stop early: `enough` is that result.
    int32_t readRow(uint8_t table, uint16_t row, QByteArray& bytes, int32_t enough = 0);
    int32_t writeRow(uint8_t table, uint16_t row, const QByteArray& bytes, int32_t enough = 0);

    // The library's text for a result.
    QString errorText(int32_t result);

    // Every call goes through here, and so into its exchange log.
    ExchangeRecorder api;
    bool connected = false;
    // Set by the stop button; only the goods loops look at it.
    bool stopRequested = false;
    uint8_t kkmAddr = 0;
    uint8_t pcAddr = 0;
    int32_t lastResult = 0;
};
