// The bridge form of the device library: the sixteen functions of orvel.h, each sent to
// orvel-bridge under Wine, which calls them in a register maker's Orvel.dll, and the optional
// OrvelAbortCall, which gives up a call waiting for the bridge. The DLL is the one
// KKM_ORVEL_DLL names (the program sets it), else Orvel.dll beside this library; the bridge
// programs lie beside this library.
#include "bridge_client.h"
#include "functions.h"
#include "orvel.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>

namespace {

using bridge::Bytes;
using bridge::Function;
using bridge::Message;
using bridge::numberAt;
using bridge::stringAt;

// What the register's library answers when the register stops answering.
constexpr int32_t kNoAnswer = -5;

std::string ownFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ownFolder), &info) || !info.dli_fname)
        return ".";
    return std::filesystem::absolute(info.dli_fname).parent_path().string();
}

std::string dllPath(const std::string& folder) {
    const char* named = std::getenv("KKM_ORVEL_DLL");
    return named && *named ? std::string(named) : folder + "/Orvel.dll";
}

// Texts and reply arrays handed out stay valid until the next call, as with any device library.
class Library {
public:
    Library()
        : m_client(dllPath(ownFolder()), ownFolder()) {}

    std::optional<Message> call(Function function, std::vector<int32_t> numbers, std::vector<Bytes> strings = {}) {
        return m_client.call({static_cast<uint8_t>(function), std::move(numbers), std::move(strings)});
    }

    const char* hold(std::size_t slot, const Bytes& text) {
        m_held[slot] = text.value_or(std::string());
        return text ? m_held[slot].c_str() : nullptr;
    }

    const uint8_t* holdArray(const Bytes& array) {
        return reinterpret_cast<const uint8_t*>(hold(m_held.size() - 1, array));
    }

    const std::string& failureText() const { return m_client.failureText(); }
    bool abort() { return m_client.abort(); }

private:
    bridge::BridgeClient m_client;
    std::array<std::string, 8> m_held; // seven goods fields, or one text; the last: a reply array
};

Library& library() {
    static Library instance;
    return instance;
}

Bytes bytes(const char* text) {
    return text ? Bytes(text) : Bytes();
}

Bytes bytes(const uint8_t* buffer, int32_t lastIndex) {
    if (!buffer)
        return {};
    return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(std::max(lastIndex + 1, 0)));
}

// The journal and stock queries share one reply: result, value, reply array.
int32_t journalReply(const std::optional<Message>& reply, int32_t* value, const uint8_t** array) {
    if (!reply)
        return kNoAnswer;
    *value = numberAt(*reply, 1);
    *array = library().holdArray(stringAt(*reply, 0));
    return numberAt(*reply, 0);
}

} // namespace

extern "C" {

int32_t ORVEL_CALL GetPortName(uint8_t index, const char** name) {
    const auto reply = library().call(Function::GetPortName, {index});
    if (!reply)
        return kNoAnswer;
    *name = library().hold(0, stringAt(*reply, 0));
    return numberAt(*reply, 0);
}

int32_t ORVEL_CALL SetPort(const char* portName, int32_t baud) {
    const auto reply = library().call(Function::SetPort, {baud}, {bytes(portName)});
    return reply ? numberAt(*reply, 0) : kNoAnswer;
}

int32_t ORVEL_CALL ClosePort(void) {
    const auto reply = library().call(Function::ClosePort, {});
    return reply ? numberAt(*reply, 0) : kNoAnswer;
}

const char* ORVEL_CALL GetErrString(int32_t code) {
    // The bridge's own failure explains the -5 it caused; the DLL knows nothing of it.
    if (code == kNoAnswer && !library().failureText().empty())
        return library().failureText().c_str();
    const auto reply = library().call(Function::GetErrString, {code});
    if (!reply)
        return library().failureText().c_str();
    return library().hold(0, stringAt(*reply, 0));
}

int32_t ORVEL_CALL GetDeviceType(uint8_t kkmAddr, uint8_t pcAddr, uint8_t* b1, uint8_t* b2, uint8_t* b3, uint8_t* b4,
                                 const char** model) {
    const auto reply = library().call(Function::GetDeviceType, {kkmAddr, pcAddr});
    if (!reply)
        return kNoAnswer;
    *b1 = static_cast<uint8_t>(numberAt(*reply, 1));
    *b2 = static_cast<uint8_t>(numberAt(*reply, 2));
    *b3 = static_cast<uint8_t>(numberAt(*reply, 3));
    *b4 = static_cast<uint8_t>(numberAt(*reply, 4));
    *model = library().hold(0, stringAt(*reply, 0));
    return numberAt(*reply, 0);
}

int32_t ORVEL_CALL GetWorksNum(uint8_t kkmAddr, uint8_t pcAddr, const char** serial) {
    const auto reply = library().call(Function::GetWorksNum, {kkmAddr, pcAddr});
    if (!reply)
        return kNoAnswer;
    *serial = library().hold(0, stringAt(*reply, 0));
    return numberAt(*reply, 0);
}

int32_t ORVEL_CALL GetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, uint8_t* buf,
                               int32_t lastIndex) {
    const auto reply = library().call(Function::GetRowValue, {kkmAddr, pcAddr, table, row, lastIndex});
    if (!reply)
        return kNoAnswer;
    const std::string rowBytes = stringAt(*reply, 0).value_or(std::string());
    std::memcpy(buf, rowBytes.data(), std::min<std::size_t>(rowBytes.size(), std::max(lastIndex + 1, 0)));
    return numberAt(*reply, 0);
}

int32_t ORVEL_CALL SetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, const uint8_t* buf,
                               int32_t lastIndex) {
    const auto reply =
        library().call(Function::SetRowValue, {kkmAddr, pcAddr, table, row, lastIndex}, {bytes(buf, lastIndex)});
    return reply ? numberAt(*reply, 0) : kNoAnswer;
}

int32_t ORVEL_CALL GetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char** name, const char** barcode,
                          const char** section, const char** price, const char** fractional, const char** sales,
                          const char** returns) {
    const auto reply = library().call(Function::GetPLU, {kkmAddr, pcAddr, number});
    if (!reply)
        return kNoAnswer;
    const char** fields[] = {name, barcode, section, price, fractional, sales, returns};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = library().hold(i, stringAt(*reply, i));
    return numberAt(*reply, 0);
}

int32_t ORVEL_CALL SetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char* name, const char* barcode,
                          const char* section, const char* price, const char* fractional, const char* sales,
                          const char* returns) {
    const auto reply = library().call(
        Function::SetPLU, {kkmAddr, pcAddr, number},
        {bytes(name), bytes(barcode), bytes(section), bytes(price), bytes(fractional), bytes(sales), bytes(returns)});
    return reply ? numberAt(*reply, 0) : kNoAnswer;
}

int32_t ORVEL_CALL WriteLogo(uint8_t kkmAddr, uint8_t pcAddr, int32_t kind, const uint8_t* buf, int32_t lastIndex) {
    const auto reply = library().call(Function::WriteLogo, {kkmAddr, pcAddr, kind, lastIndex}, {bytes(buf, lastIndex)});
    return reply ? numberAt(*reply, 0) : kNoAnswer;
}

int32_t ORVEL_CALL GetJRecordsCount(uint8_t kkmAddr, uint8_t pcAddr, int32_t* count, const uint8_t** reply) {
    return journalReply(library().call(Function::GetJRecordsCount, {kkmAddr, pcAddr}), count, reply);
}

int32_t ORVEL_CALL GetJRecord(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value, const uint8_t** reply) {
    return journalReply(library().call(Function::GetJRecord, {kkmAddr, pcAddr, number}), value, reply);
}

int32_t ORVEL_CALL GetJRecordNext(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply) {
    return journalReply(library().call(Function::GetJRecordNext, {kkmAddr, pcAddr}), value, reply);
}

int32_t ORVEL_CALL NEmptyFind(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply) {
    return journalReply(library().call(Function::NEmptyFind, {kkmAddr, pcAddr}), value, reply);
}

int32_t ORVEL_CALL GetGoodsRest(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value,
                                const uint8_t** reply) {
    return journalReply(library().call(Function::GetGoodsRest, {kkmAddr, pcAddr, number}), value, reply);
}

// Not one of the sixteen: the program calls it from its window's thread while its device thread
// waits here, when the user gives up on a bridge that does not answer.
int32_t ORVEL_CALL OrvelAbortCall(void) {
    return library().abort() ? 0 : 1;
}

} // extern "C"
