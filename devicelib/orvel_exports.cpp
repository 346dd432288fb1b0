// The library's C entry points. They only forward to the one emulated register; the program
// calls from one thread, and the register guards itself against its own save thread.
#include "emulated_register.h"
#include "orvel.h"
#include "state_file.h"

#include <string>
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

struct Library {
    orvel::EmulatedRegister device{orvel::defaultStateFile()};
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
    return orvel::EmulatedRegister::portName(index, name);
}

int32_t ORVEL_CALL SetPort(const char* portName, int32_t baud) {
    return g_library.device.open(portName, baud);
}

int32_t ORVEL_CALL ClosePort(void) {
    return g_library.device.close();
}

const char* ORVEL_CALL GetErrString(int32_t code) {
    g_library.errorText = g_library.device.errorText(code);
    return g_library.errorText.c_str();
}

int32_t ORVEL_CALL GetDeviceType(uint8_t, uint8_t, uint8_t* b1, uint8_t* b2, uint8_t* b3, uint8_t* b4,
                                 const char** model) {
    return g_library.device.deviceType(b1, b2, b3, b4, model);
}

int32_t ORVEL_CALL GetWorksNum(uint8_t, uint8_t, const char** serial) {
    return g_library.device.serialNumber(serial);
}

int32_t ORVEL_CALL GetRowValue(uint8_t, uint8_t, uint8_t table, uint16_t row, uint8_t* buf, int32_t lastIndex) {
    return g_library.device.readRow(table, row, buf, lastIndex);
}

int32_t ORVEL_CALL SetRowValue(uint8_t, uint8_t, uint8_t table, uint16_t row, const uint8_t* buf, int32_t lastIndex) {
    return g_library.device.writeRow(table, row, buf, lastIndex);
}

int32_t ORVEL_CALL GetPLU(uint8_t, uint8_t, uint16_t number, const char** name, const char** barcode,
                          const char** section, const char** price, const char** fractional, const char** sales,
                          const char** returns) {
    return g_library.device.readGoods(number, name, barcode, section, price, fractional, sales, returns);
}

int32_t ORVEL_CALL SetPLU(uint8_t, uint8_t, uint16_t number, const char* name, const char* barcode, const char* section,
                          const char* price, const char* fractional, const char* sales, const char* returns) {
    return g_library.device.writeGoods(number, {name, barcode, section, price, fractional, sales, returns});
}

int32_t ORVEL_CALL WriteLogo(uint8_t, uint8_t, int32_t kind, const uint8_t* buf, int32_t lastIndex) {
    return g_library.device.writeLogo(kind, buf, lastIndex);
}

int32_t ORVEL_CALL GetJRecordsCount(uint8_t, uint8_t, int32_t* count, const uint8_t** reply) {
    return g_library.device.journalCount(count, reply);
}

int32_t ORVEL_CALL GetJRecord(uint8_t, uint8_t, int32_t number, int32_t* value, const uint8_t** reply) {
    return g_library.device.journalRecord(number, value, reply);
}

int32_t ORVEL_CALL GetJRecordNext(uint8_t, uint8_t, int32_t* value, const uint8_t** reply) {
    return g_library.device.nextJournalRecord(value, reply);
}

int32_t ORVEL_CALL NEmptyFind(uint8_t, uint8_t, int32_t* value, const uint8_t** reply) {
    return g_library.device.findOccupiedGoods(value, reply);
}

int32_t ORVEL_CALL GetGoodsRest(uint8_t, uint8_t, int32_t number, int32_t* value, const uint8_t** reply) {
    return g_library.device.goodsStock(number, value, reply);
}

} // extern "C"
