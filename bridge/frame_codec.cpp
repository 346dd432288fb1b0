#include "frame_codec.h"

namespace bridge {

namespace {

constexpr uint32_t kNullString = 0xFFFFFFFFu;

void putNumber(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

// Reading past the end marks the reader failed; callers check once at the end.
class Reader {
public:
    explicit Reader(std::string_view bytes)
        : m_bytes(bytes) {}
    uint32_t number() {
        const std::string_view field = take(4);
        uint32_t value = 0;
        for (std::size_t i = 0; i < field.size(); ++i)
            value |= uint32_t{static_cast<uint8_t>(field[i])} << (8 * i);
        return value;
    }
    uint8_t byte() {
        const std::string_view field = take(1);
        return field.empty() ? 0 : static_cast<uint8_t>(field[0]);
    }
    std::string_view take(std::size_t size) {
        if (m_failed || size > m_bytes.size()) {
            m_failed = true;
            return {};
        }
        const std::string_view field = m_bytes.substr(0, size);
        m_bytes.remove_prefix(size);
        return field;
    }
    bool complete() const { return !m_failed && m_bytes.empty(); }
    bool failed() const { return m_failed; }

private:
    std::string_view m_bytes;
    bool m_failed = false;
};

} // namespace

int32_t numberAt(const Message& message, std::size_t index) {
    return index < message.numbers.size() ? message.numbers[index] : 0;
}

Bytes stringAt(const Message& message, std::size_t index) {
    return index < message.strings.size() ? message.strings[index] : Bytes();
}

std::string encodeFrame(const Message& message) {
    std::string frame(kLengthSize, '\0');
    frame.push_back(static_cast<char>(message.tag));
    frame.push_back(static_cast<char>(message.numbers.size()));
    for (int32_t number : message.numbers)
        putNumber(frame, static_cast<uint32_t>(number));
    frame.push_back(static_cast<char>(message.strings.size()));
    for (const Bytes& string : message.strings) {
        putNumber(frame, string ? static_cast<uint32_t>(string->size()) : kNullString);
        if (string)
            frame += *string;
    }
    std::string length;
    putNumber(length, static_cast<uint32_t>(frame.size() - kLengthSize));
    frame.replace(0, kLengthSize, length);
    return frame;
}

uint32_t payloadLength(std::string_view head) {
    return Reader(head.substr(0, kLengthSize)).number();
}

std::optional<Message> decodeFrame(std::string_view frame) {
    Reader in(frame);
    const uint32_t length = in.number();
    if (in.failed() || length > kMaxPayload || length != frame.size() - kLengthSize)
        return std::nullopt;
    Message message;
    message.tag = in.byte();
    for (uint8_t count = in.byte(); count > 0 && !in.failed(); --count)
        message.numbers.push_back(static_cast<int32_t>(in.number()));
    for (uint8_t count = in.byte(); count > 0 && !in.failed(); --count) {
        const uint32_t size = in.number();
        if (size == kNullString) {
            message.strings.emplace_back();
            continue;
        }
        const std::string_view bytes = in.take(size);
        message.strings.emplace_back(std::string(bytes));
    }
    if (!in.complete())
        return std::nullopt;
    return message;
}

} // namespace bridge
