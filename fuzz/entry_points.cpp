// Our device library's sixteen entry points, called in any order with hostile arguments: null
// pointers, negative and huge sizes, any table, row and goods number, texts of any bytes. Every
// buffer is exactly as long as its size argument says, so a read or write past it is caught.
// The library is loaded from beside this program, with a fresh state in a folder of its own there.
#include "device_table.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The input, read as the arguments of a call after call; past its end every value is zero.
class Arguments {
public:
    Arguments(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size) {}
    bool done() const { return m_position >= m_size; }
    uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }
    uint16_t word() { return static_cast<uint16_t>(byte() | byte() << 8); }
    int32_t number() {
        return static_cast<int32_t>(static_cast<uint32_t>(word()) | static_cast<uint32_t>(word()) << 16);
    }
    // A size argument and a buffer of exactly that many bytes (none for a negative size).
    std::vector<uint8_t> buffer(int32_t& lastIndex) {
        lastIndex = static_cast<int8_t>(byte());
        std::vector<uint8_t> bytes(lastIndex < 0 ? 0 : std::size_t(lastIndex) + 1);
        for (uint8_t& b : bytes)
            b = byte();
        return bytes;
    }
    // A zero-terminated text of up to 40 bytes, or a null pointer.
    std::string* text(std::string& storage) {
        const uint8_t length = byte();
        if (length == 0xFF)
            return nullptr;
        storage.clear();
        for (int i = 0; i < length % 41; ++i)
            storage.push_back(static_cast<char>(byte() | 1)); // no zero inside the text
        return &storage;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

template <typename Function> Function bind(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    FUZZ_CHECK(symbol != nullptr);
    return reinterpret_cast<Function>(symbol);
}

DeviceTable g_library;

// A text the library hands out must be readable and end within reason.
void checkText(const char* text) {
    if (text)
        FUZZ_CHECK(std::strlen(text) < 4096);
}

// A reply array of a result r >= 0 holds r + 5 bytes; touching each one lets the sanitizer see it.
void checkReply(int32_t result, const uint8_t* reply) {
    if (result < 0 || !reply)
        return;
    volatile uint8_t sum = 0;
    for (int32_t i = 0; i < result + 5; ++i)
        sum = static_cast<uint8_t>(sum + reply[i]);
}

const char* orNull(const std::string* text) {
    return text ? text->c_str() : nullptr;
}

void call(Arguments& in) {
    const DeviceTable& lib = g_library;
    const uint8_t which = in.byte() % 16;
    const bool nulls = in.byte() & 1; // out-parameters left null
    const char* text = nullptr;
    const uint8_t* reply = nullptr;
    int32_t value = 0;
    switch (which) {
    case 0:
        if (lib.GetPortName(in.byte(), nulls ? nullptr : &text) == 0)
            checkText(text);
        break;
    case 1: {
        std::string port;
        lib.SetPort(orNull(in.text(port)), in.number());
        break;
    }
    case 2:
        lib.ClosePort();
        break;
    case 3:
        checkText(lib.GetErrString(in.number()));
        break;
    case 4: {
        uint8_t b[4] = {};
        const uint8_t a1 = in.byte(), a2 = in.byte();
        if (lib.GetDeviceType(a1, a2, &b[0], &b[1], &b[2], nulls ? nullptr : &b[3], &text) >= 0)
            checkText(text);
        break;
    }
    case 5: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        if (lib.GetWorksNum(a1, a2, nulls ? nullptr : &text) >= 0)
            checkText(text);
        break;
    }
    case 6: {
        const uint8_t a1 = in.byte(), a2 = in.byte(), table = in.byte();
        const uint16_t row = in.word();
        int32_t lastIndex = 0;
        auto bytes = in.buffer(lastIndex);
        lib.GetRowValue(a1, a2, table, row, nulls ? nullptr : bytes.data(), lastIndex);
        break;
    }
    case 7: {
        const uint8_t a1 = in.byte(), a2 = in.byte(), table = in.byte();
        const uint16_t row = in.word();
        int32_t lastIndex = 0;
        const auto bytes = in.buffer(lastIndex);
        lib.SetRowValue(a1, a2, table, row, nulls ? nullptr : bytes.data(), lastIndex);
        break;
    }
    case 8: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        const uint16_t number = in.word();
        const char* fields[7] = {};
        if (lib.GetPLU(a1, a2, number, &fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5],
                       nulls ? nullptr : &fields[6]) >= 0) {
            for (const char* field : fields)
                checkText(field);
        }
        break;
    }
    case 9: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        const uint16_t number = in.word();
        std::string storage[7];
        const std::string* fields[7];
        for (int i = 0; i < 7; ++i)
            fields[i] = in.text(storage[i]);
        lib.SetPLU(a1, a2, number, orNull(fields[0]), orNull(fields[1]), orNull(fields[2]), orNull(fields[3]),
                   orNull(fields[4]), orNull(fields[5]), orNull(fields[6]));
        break;
    }
    case 10: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        const int32_t kind = static_cast<int8_t>(in.byte());
        int32_t lastIndex = 0;
        const auto bytes = in.buffer(lastIndex);
        lib.WriteLogo(a1, a2, kind, nulls ? nullptr : bytes.data(), lastIndex);
        break;
    }
    case 11: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        checkReply(lib.GetJRecordsCount(a1, a2, &value, nulls ? nullptr : &reply), reply);
        break;
    }
    case 12: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        checkReply(lib.GetJRecord(a1, a2, in.number(), &value, nulls ? nullptr : &reply), reply);
        break;
    }
    case 13: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        checkReply(lib.GetJRecordNext(a1, a2, nulls ? nullptr : &value, &reply), reply);
        break;
    }
    case 14: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        checkReply(lib.NEmptyFind(a1, a2, &value, nulls ? nullptr : &reply), reply);
        break;
    }
    default: {
        const uint8_t a1 = in.byte(), a2 = in.byte();
        checkReply(lib.GetGoodsRest(a1, a2, in.number(), nulls ? nullptr : &value, &reply), reply);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    const auto folder = self.parent_path() / "entry-points-state";
    std::filesystem::remove_all(folder);
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    void* library = dlopen((self.parent_path() / "libOrvel.so").c_str(), RTLD_NOW);
    if (!library)
        std::fprintf(stderr, "%s\n", dlerror());
    FUZZ_CHECK(library != nullptr);
    g_library = {
        bind<decltype(&::GetPortName)>(library, "GetPortName"),
        bind<decltype(&::SetPort)>(library, "SetPort"),
        bind<decltype(&::ClosePort)>(library, "ClosePort"),
        bind<decltype(&::GetErrString)>(library, "GetErrString"),
        bind<decltype(&::GetDeviceType)>(library, "GetDeviceType"),
        bind<decltype(&::GetWorksNum)>(library, "GetWorksNum"),
        bind<decltype(&::GetRowValue)>(library, "GetRowValue"),
        bind<decltype(&::SetRowValue)>(library, "SetRowValue"),
        bind<decltype(&::GetPLU)>(library, "GetPLU"),
        bind<decltype(&::SetPLU)>(library, "SetPLU"),
        bind<decltype(&::WriteLogo)>(library, "WriteLogo"),
        bind<decltype(&::GetJRecordsCount)>(library, "GetJRecordsCount"),
        bind<decltype(&::GetJRecord)>(library, "GetJRecord"),
        bind<decltype(&::GetJRecordNext)>(library, "GetJRecordNext"),
        bind<decltype(&::NEmptyFind)>(library, "NEmptyFind"),
        bind<decltype(&::GetGoodsRest)>(library, "GetGoodsRest"),
    };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Arguments in(data, size);
    // Most inputs open the emulated register first, so that the calls reach it.
    if (size > 0 && data[0] % 4 != 0)
        g_library.SetPort("EMULATOR", 115200);
    for (int calls = 0; !in.done() && calls < 64; ++calls)
        call(in);
    return 0;
}
