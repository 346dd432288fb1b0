// The library's C entry points. They forward to the one emulated register through the line of
// the open port; the program calls from one thread, and the register guards itself against its
// own save thread.
#include "emulated_register.h"
#include "line.h"
#include "orvel.h"
#include "state_file.h"

#include <string>
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

struct Library {
    orvel::EmulatedRegister device{orvel::defaultStateFile()};
    orvel::Line line;
    std::string errorText; // GetErrString's answer, valid until the next call
};

#if defined(_WIN32)
// Never destroyed: when a Windows process exits, its other threads are ended first, wherever they
// were, so stopping the save thread could wait forever. DllMain saves the state instead, and the
// DLL pins itself so that unloading it never leaves that thread running code that is gone.
Library& g_library = *new Library;
#else
// Destroyed when the library is unloaded or the program exits normally (exit() or a return from
// main), which saves the register's state. A kill, SIGTERM included, skips this; the register's
// save thread has then written all but the last StateSaver::kInterval of changes.
Library g_library;
#endif

// The fault plan file lies beside the library, wherever the program loaded it from.
#if defined(_WIN32)
std::filesystem::path libraryFolder() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&libraryFolder), &module))
        return {};
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = 0;
    // A path longer than the buffer comes back cut to its size: grow it and ask again.
    while ((length = GetModuleFileNameW(module, name.data(), DWORD(name.size()))) == name.size())
        name.resize(name.size() * 2);
    if (length == 0)
        return {};
    name.resize(length);
    return std::filesystem::path(name).parent_path();
}
#else
std::filesystem::path libraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&libraryFolder), &info) == 0 || !info.dli_fname)
        return {};
    return std::filesystem::path(info.dli_fname).parent_path();
}
#endif

// Data bytes of the identification answers: four bytes and the model name's field; the serial
// number's eight digits and a zero.
constexpr int kDeviceTypeBytes = 4 + 32;
constexpr int kSerialBytes = 9;

// A buffer's bytes by its last index; a nonsense size sends nothing, as the register refuses it.
int bufferBytes(int32_t lastIndex) {
    return lastIndex >= 0 && lastIndex < 4096 ? lastIndex + 1 : 0;
}

// What a call's answer carries besides its status: nothing for a refusal.
int dataOf(int32_t result, int bytes) {
    return result >= 0 ? bytes : 0;
}

template <typename Call> int32_t exchange(const orvel::Exchange& exchange, int replyBytes, Call&& call) {
    return g_library.line.exchange(exchange, call, [replyBytes](int32_t result) { return dataOf(result, replyBytes); });
}

// A journal or stock query: its request carries `requestBytes`, its reply r + 5 bytes.
template <typename Call> int32_t query(int requestBytes, Call&& call) {
    return g_library.line.exchange({requestBytes, true}, call,
                                   [](int32_t result) { return result >= 0 ? result + 5 : 0; });
}

} // namespace

#if defined(_WIN32)
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(module), &pinned);
    }
    if (reason == DLL_PROCESS_DETACH)
        g_library.device.close();
    return TRUE;
}
#endif

extern "C" {

int32_t ORVEL_CALL GetPortName(uint8_t index, const char** name) {
    return orvel::portName(index, name);
}

int32_t ORVEL_CALL SetPort(const char* portName, int32_t baud) {
    const int32_t result = g_library.device.open(portName, baud);
    orvel::Port port;
    if (result == orvel::Ok && orvel::portByName(portName, port))
        g_library.line.open(port, baud,
                            port == orvel::Port::Faults ? orvel::loadFaultPlan(libraryFolder()) : orvel::FaultPlan{});
    return result;
}

int32_t ORVEL_CALL ClosePort(void) {
    g_library.line.close();
    return g_library.device.close();
}

const char* ORVEL_CALL GetErrString(int32_t code) {
    g_library.errorText = g_library.device.errorText(code);
    return g_library.errorText.c_str();
}

int32_t ORVEL_CALL GetDeviceType(uint8_t, uint8_t, uint8_t* b1, uint8_t* b2, uint8_t* b3, uint8_t* b4,
                                 const char** model) {
    return exchange({}, kDeviceTypeBytes, [&] { return g_library.device.deviceType(b1, b2, b3, b4, model); });
}

int32_t ORVEL_CALL GetWorksNum(uint8_t, uint8_t, const char** serial) {
    return exchange({}, kSerialBytes, [&] { return g_library.device.serialNumber(serial); });
}

int32_t ORVEL_CALL GetRowValue(uint8_t, uint8_t, uint8_t table, uint16_t row, uint8_t* buf, int32_t lastIndex) {
    return exchange({3, true}, bufferBytes(lastIndex),
                    [&] { return g_library.device.readRow(table, row, buf, lastIndex); });
}

int32_t ORVEL_CALL SetRowValue(uint8_t, uint8_t, uint8_t table, uint16_t row, const uint8_t* buf, int32_t lastIndex) {
    return exchange({3 + bufferBytes(lastIndex), true, table}, 0,
                    [&] { return g_library.device.writeRow(table, row, buf, lastIndex); });
}

int32_t ORVEL_CALL GetPLU(uint8_t, uint8_t, uint16_t number, const char** name, const char** barcode,
                          const char** section, const char** price, const char** fractional, const char** sales,
                          const char** returns) {
    return exchange({2, true}, orvel::kGoodsRecordBytes, [&] {
        return g_library.device.readGoods(number, name, barcode, section, price, fractional, sales, returns);
    });
}

int32_t ORVEL_CALL SetPLU(uint8_t, uint8_t, uint16_t number, const char* name, const char* barcode, const char* section,
                          const char* price, const char* fractional, const char* sales, const char* returns) {
    return exchange({2 + orvel::kGoodsRecordBytes, true}, 0, [&] {
        return g_library.device.writeGoods(number, {name, barcode, section, price, fractional, sales, returns});
    });
}

int32_t ORVEL_CALL WriteLogo(uint8_t, uint8_t, int32_t kind, const uint8_t* buf, int32_t lastIndex) {
    return exchange({1 + bufferBytes(lastIndex), true}, 0,
                    [&] { return g_library.device.writeLogo(kind, buf, lastIndex); });
}

int32_t ORVEL_CALL GetJRecordsCount(uint8_t, uint8_t, int32_t* count, const uint8_t** reply) {
    return query(0, [&] { return g_library.device.journalCount(count, reply); });
}

int32_t ORVEL_CALL GetJRecord(uint8_t, uint8_t, int32_t number, int32_t* value, const uint8_t** reply) {
    return query(4, [&] { return g_library.device.journalRecord(number, value, reply); });
}

int32_t ORVEL_CALL GetJRecordNext(uint8_t, uint8_t, int32_t* value, const uint8_t** reply) {
    return query(0, [&] { return g_library.device.nextJournalRecord(value, reply); });
}

int32_t ORVEL_CALL NEmptyFind(uint8_t, uint8_t, int32_t* value, const uint8_t** reply) {
    return query(0, [&] { return g_library.device.findOccupiedGoods(value, reply); });
}

int32_t ORVEL_CALL GetGoodsRest(uint8_t, uint8_t, int32_t number, int32_t* value, const uint8_t** reply) {
    return query(4, [&] { return g_library.device.goodsStock(number, value, reply); });
}

} // extern "C"
