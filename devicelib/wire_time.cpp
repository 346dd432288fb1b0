#include "wire_time.h"

namespace orvel {

namespace {
constexpr int kBitsPerByte = 11;
constexpr int kFrameBytes = 10;
constexpr int kStatusBytes = 1;
} // namespace

std::chrono::microseconds wireTime(int32_t baud, int requestBytes, int replyBytes) {
    if (baud <= 0)
        return {};
    const int64_t bytes = int64_t(requestBytes) + replyBytes + 2 * kFrameBytes + kStatusBytes;
    return std::chrono::microseconds(bytes * kBitsPerByte * 1'000'000 / baud);
}

} // namespace orvel
