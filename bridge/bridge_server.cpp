// orvel-bridge.exe: started under Wine with a register maker's Orvel.dll, it binds the sixteen
// functions and serves the calls that the device library's bridge form sends from Linux over
// standard input, answering on standard output.
#include "frame_codec.h"
#include "functions.h"
#include "orvel.h"

#include <algorithm>
#include <cstdio>
#include <io.h>
#include <stdexcept>
#include <string>
#include <vector>
// Lean: the full header defines SetPort as a printer function.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

using bridge::Bytes;
using bridge::Function;
using bridge::Message;

struct Functions {
    decltype(&::GetPortName) GetPortName = nullptr;
    decltype(&::SetPort) SetPort = nullptr;
    decltype(&::ClosePort) ClosePort = nullptr;
    decltype(&::GetErrString) GetErrString = nullptr;
    decltype(&::GetDeviceType) GetDeviceType = nullptr;
    decltype(&::GetWorksNum) GetWorksNum = nullptr;
    decltype(&::GetRowValue) GetRowValue = nullptr;
    decltype(&::SetRowValue) SetRowValue = nullptr;
    decltype(&::GetPLU) GetPLU = nullptr;
    decltype(&::SetPLU) SetPLU = nullptr;
    decltype(&::WriteLogo) WriteLogo = nullptr;
    decltype(&::GetJRecordsCount) GetJRecordsCount = nullptr;
    decltype(&::GetJRecord) GetJRecord = nullptr;
    decltype(&::GetJRecordNext) GetJRecordNext = nullptr;
    decltype(&::NEmptyFind) NEmptyFind = nullptr;
    decltype(&::GetGoodsRest) GetGoodsRest = nullptr;
};

// A maker's DLL exports the plain name, or with stdcall its decoration: every argument takes
// four bytes on the 32-bit stack, so the suffix is four times the argument count.
template <typename Fn>
void bindOne(HMODULE module, Fn& slot, const char* name, int argumentCount, std::string& missing) {
    const std::string suffix = "@" + std::to_string(4 * argumentCount);
    for (const std::string& candidate : {std::string(name), "_" + std::string(name) + suffix, name + suffix}) {
        slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, candidate.c_str())));
        if (slot)
            return;
    }
    missing += (missing.empty() ? "" : ", ") + std::string(name);
}

std::string bindAll(HMODULE module, Functions& f) {
    std::string missing;
    bindOne(module, f.GetPortName, "GetPortName", 2, missing);
    bindOne(module, f.SetPort, "SetPort", 2, missing);
    bindOne(module, f.ClosePort, "ClosePort", 0, missing);
    bindOne(module, f.GetErrString, "GetErrString", 1, missing);
    bindOne(module, f.GetDeviceType, "GetDeviceType", 7, missing);
    bindOne(module, f.GetWorksNum, "GetWorksNum", 3, missing);
    bindOne(module, f.GetRowValue, "GetRowValue", 6, missing);
    bindOne(module, f.SetRowValue, "SetRowValue", 6, missing);
    bindOne(module, f.GetPLU, "GetPLU", 10, missing);
    bindOne(module, f.SetPLU, "SetPLU", 10, missing);
    bindOne(module, f.WriteLogo, "WriteLogo", 5, missing);
    bindOne(module, f.GetJRecordsCount, "GetJRecordsCount", 4, missing);
    bindOne(module, f.GetJRecord, "GetJRecord", 5, missing);
    bindOne(module, f.GetJRecordNext, "GetJRecordNext", 4, missing);
    bindOne(module, f.NEmptyFind, "NEmptyFind", 4, missing);
    bindOne(module, f.GetGoodsRest, "GetGoodsRest", 5, missing);
    return missing;
}

// Copied at once: the DLL may reuse the memory on its next call.
Bytes text(const char* pointer) {
    return pointer ? Bytes(pointer) : Bytes();
}

// A journal query's reply array holds r + 5 bytes for a result r >= 0.
Bytes replyArray(const uint8_t* pointer, int32_t result) {
    if (!pointer || result < 0)
        return {};
    const int32_t size = std::min(result, bridge::kMaxBuffer) + 5;
    return std::string(reinterpret_cast<const char*>(pointer), static_cast<std::size_t>(size));
}

const char* pointer(const Bytes& bytes) {
    return bytes ? bytes->c_str() : nullptr;
}

const uint8_t* bufferPointer(const Bytes& bytes) {
    return reinterpret_cast<const uint8_t*>(pointer(bytes));
}

uint8_t u8(const Message& m, std::size_t i) {
    return static_cast<uint8_t>(m.numbers.at(i));
}

uint16_t u16(const Message& m, std::size_t i) {
    return static_cast<uint16_t>(m.numbers.at(i));
}

// The row buffer for GetRowValue, never more than the framing's limit.
std::vector<uint8_t> rowBuffer(int32_t lastIndex) {
    return std::vector<uint8_t>(static_cast<std::size_t>(std::clamp(lastIndex + 1, 1, bridge::kMaxBuffer)));
}

Message serve(const Functions& f, const Message& call) {
    Message reply{call.tag, {}, {}};
    const auto& n = call.numbers;
    const auto& s = call.strings;
    switch (static_cast<Function>(call.tag)) {
    case Function::GetPortName: {
        const char* name = nullptr;
        reply.numbers = {f.GetPortName(u8(call, 0), &name)};
        reply.strings = {text(name)};
        break;
    }
    case Function::SetPort:
        reply.numbers = {f.SetPort(pointer(s.at(0)), n.at(0))};
        break;
    case Function::ClosePort:
        reply.numbers = {f.ClosePort()};
        break;
    case Function::GetErrString:
        reply.strings = {text(f.GetErrString(n.at(0)))};
        break;
    case Function::GetDeviceType: {
        uint8_t b[4] = {};
        const char* model = nullptr;
        const int32_t result = f.GetDeviceType(u8(call, 0), u8(call, 1), &b[0], &b[1], &b[2], &b[3], &model);
        reply.numbers = {result, b[0], b[1], b[2], b[3]};
        reply.strings = {text(model)};
        break;
    }
    case Function::GetWorksNum: {
        const char* serial = nullptr;
        reply.numbers = {f.GetWorksNum(u8(call, 0), u8(call, 1), &serial)};
        reply.strings = {text(serial)};
        break;
    }
    case Function::GetRowValue: {
        const int32_t lastIndex = std::min(n.at(4), bridge::kMaxBuffer - 1);
        std::vector<uint8_t> row = rowBuffer(lastIndex);
        reply.numbers = {f.GetRowValue(u8(call, 0), u8(call, 1), u8(call, 2), u16(call, 3), row.data(), lastIndex)};
        row.resize(static_cast<std::size_t>(std::max(lastIndex + 1, 0)));
        reply.strings = {std::string(row.begin(), row.end())};
        break;
    }
    case Function::SetRowValue:
        reply.numbers = {
            f.SetRowValue(u8(call, 0), u8(call, 1), u8(call, 2), u16(call, 3), bufferPointer(s.at(0)), n.at(4))};
        break;
    case Function::GetPLU: {
        const char* t[7] = {};
        reply.numbers = {f.GetPLU(u8(call, 0), u8(call, 1), u16(call, 2), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5],
                                  &t[6])};
        for (const char* field : t)
            reply.strings.push_back(text(field));
        break;
    }
    case Function::SetPLU:
        reply.numbers = {f.SetPLU(u8(call, 0), u8(call, 1), u16(call, 2), pointer(s.at(0)), pointer(s.at(1)),
                                  pointer(s.at(2)), pointer(s.at(3)), pointer(s.at(4)), pointer(s.at(5)),
                                  pointer(s.at(6)))};
        break;
    case Function::WriteLogo:
        reply.numbers = {f.WriteLogo(u8(call, 0), u8(call, 1), n.at(2), bufferPointer(s.at(0)), n.at(3))};
        break;
    case Function::GetJRecordsCount: {
        int32_t count = 0;
        const uint8_t* array = nullptr;
        const int32_t result = f.GetJRecordsCount(u8(call, 0), u8(call, 1), &count, &array);
        reply.numbers = {result, count};
        reply.strings = {replyArray(array, result)};
        break;
    }
    case Function::GetJRecord:
    case Function::GetGoodsRest: {
        int32_t value = 0;
        const uint8_t* array = nullptr;
        const auto query = call.tag == uint8_t(Function::GetJRecord) ? f.GetJRecord : f.GetGoodsRest;
        const int32_t result = query(u8(call, 0), u8(call, 1), n.at(2), &value, &array);
        reply.numbers = {result, value};
        reply.strings = {replyArray(array, result)};
        break;
    }
    case Function::GetJRecordNext:
    case Function::NEmptyFind: {
        int32_t value = 0;
        const uint8_t* array = nullptr;
        const auto query = call.tag == uint8_t(Function::GetJRecordNext) ? f.GetJRecordNext : f.NEmptyFind;
        const int32_t result = query(u8(call, 0), u8(call, 1), &value, &array);
        reply.numbers = {result, value};
        reply.strings = {replyArray(array, result)};
        break;
    }
    default:
        throw std::out_of_range("unknown function");
    }
    return reply;
}

// Frames over two pipe handles; reads are buffered so a call costs one system call each way.
class Channel {
public:
    Channel(HANDLE in, HANDLE out)
        : m_in(in)
        , m_out(out) {}

    bool receive(Message& message) {
        if (!fillTo(bridge::kLengthSize))
            return false;
        const std::size_t size = bridge::kLengthSize + bridge::payloadLength(m_buffer);
        if (size > bridge::kLengthSize + bridge::kMaxPayload || !fillTo(size))
            return false;
        auto decoded = bridge::decodeFrame(std::string_view(m_buffer).substr(0, size));
        m_buffer.erase(0, size);
        if (!decoded)
            return false;
        message = std::move(*decoded);
        return true;
    }

    bool send(const Message& message) {
        const std::string frame = bridge::encodeFrame(message);
        std::size_t sent = 0;
        while (sent < frame.size()) {
            DWORD written = 0;
            if (!WriteFile(m_out, frame.data() + sent, DWORD(frame.size() - sent), &written, nullptr))
                return false;
            sent += written;
        }
        return true;
    }

private:
    bool fillTo(std::size_t size) {
        while (m_buffer.size() < size) {
            char chunk[65536];
            DWORD got = 0;
            if (!ReadFile(m_in, chunk, sizeof chunk, &got, nullptr) || got == 0)
                return false;
            m_buffer.append(chunk, got);
        }
        return true;
    }

    HANDLE m_in;
    HANDLE m_out;
    std::string m_buffer;
};

// Standard output carries the frames; whatever the DLL prints must go elsewhere.
HANDLE takeStandardOutput() {
    HANDLE replies = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE), GetCurrentProcess(), &replies, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    std::fflush(stdout);
    _dup2(_fileno(stderr), _fileno(stdout));
    return replies;
}

} // namespace

// Wide arguments: Wine hands over the Linux path of the DLL in full, whatever its letters.
int wmain(int argc, wchar_t* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvel-bridge.exe <Orvel.dll>\n");
        return 2;
    }
    Channel channel(GetStdHandle(STD_INPUT_HANDLE), takeStandardOutput());
    // No dialog box from Windows when the DLL or one it needs is missing: the greeting says so.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The DLL's own folder is searched for the libraries it needs, as when a program beside it loads it.
    const HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        channel.send({uint8_t(Function::Hello), {bridge::LibraryNotLoaded, int32_t(GetLastError())}, {}});
        return 1;
    }
    Functions functions;
    const std::string missing = bindAll(module, functions);
    if (!missing.empty()) {
        channel.send({uint8_t(Function::Hello), {bridge::FunctionsMissing, 0}, {missing}});
        return 1;
    }
    if (!channel.send({uint8_t(Function::Hello), {bridge::Ready, 0}, {}}))
        return 1;
    Message call;
    while (channel.receive(call)) {
        Message reply;
        try {
            reply = serve(functions, call);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "orvel-bridge: malformed call %u: %s\n", unsigned(call.tag), error.what());
            return 2;
        }
        if (!channel.send(reply))
            return 1;
    }
    // The other end closed: the program is done. The DLL is not unloaded but ends with the process:
    // one that stops its own threads while unloading would wait for them forever under the loader
    // lock, while at exit Windows has ended them before the DLL's clean-up runs.
    return 0;
}
