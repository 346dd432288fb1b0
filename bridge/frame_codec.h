#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The framing between the device library's bridge form and orvel-bridge.exe. Both directions
// carry the same shape: a tag (the function, or the greeting), integers, and byte strings.
// A frame on the wire: payload length (4 bytes, little-endian), then the payload: tag (1 byte),
// integer count (1 byte) and each integer (4 bytes, little-endian), byte string count (1 byte)
// and each string as its length (4 bytes; 0xFFFFFFFF for a null pointer) and its bytes.
namespace bridge {

// A text or buffer by value; nullopt stands for a null pointer.
using Bytes = std::optional<std::string>;

struct Message {
    uint8_t tag = 0;
    std::vector<int32_t> numbers;
    std::vector<Bytes> strings;

    bool operator==(const Message&) const = default;
};

// The i-th integer or string; 0 or a null string when the message has fewer.
int32_t numberAt(const Message& message, std::size_t index);
Bytes stringAt(const Message& message, std::size_t index);

// Far above the largest call (a goods record, a 4 KiB journal reply); a longer frame is damage.
constexpr uint32_t kMaxPayload = 1u << 20;
constexpr std::size_t kLengthSize = 4;

// The whole frame, length prefix included.
std::string encodeFrame(const Message& message);

// The payload length a frame's first kLengthSize bytes announce.
uint32_t payloadLength(std::string_view head);

// The message of one whole frame (length prefix included); nullopt unless the bytes are exactly
// one well-formed frame.
std::optional<Message> decodeFrame(std::string_view frame);

} // namespace bridge
