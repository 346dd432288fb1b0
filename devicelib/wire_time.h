#pragma once

#include <chrono>
#include <cstdint>

namespace orvel {

// How long a call's request and reply keep a serial line busy. A byte takes 11 bits (start,
// 8 data bits, even parity, stop); each frame adds 10 bytes (ENQ and its ACK, STX, length, two
// addresses, command, CRC-16, ETX, the receiver's ACK) and a reply one status byte, so a goods
// record (2 bytes out, 83 back) takes about 10 ms at 115200 baud.
std::chrono::microseconds wireTime(int32_t baud, int requestBytes, int replyBytes);

// A goods record as the register sends it: the seven texts at full width, each zero-terminated.
inline constexpr int kGoodsRecordBytes = 25 + 14 + 3 + 11 + 2 + 14 + 14;

} // namespace orvel
