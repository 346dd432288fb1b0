#pragma once

#include "journal_queries.h"
#include "port_lock.h"
#include "register_state.h"
#include "state_saver.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orvel {

// The register behind the library's sixteen calls, reached through any of the library's ports.
// Each call mirrors its C function without the two bus addresses (a point-to-point line: the
// emulated register answers whatever address it is given). Every request is checked in full before anything
// changes; texts and replies handed out stay valid until the next call.
// A change that cannot be saved is kept in memory all the same, and the call reports
// StateNotSaved (errorText() tells why), as does every change while saving keeps failing.
class EmulatedRegister {
public:
    // The state is read from `stateFile` when the port is opened, not here: the library is loaded
    // at program start and must not slow it down, and the state belongs to whichever program holds
    // the port.
    explicit EmulatedRegister(std::filesystem::path stateFile);
    // Stops the save thread and saves what is not saved yet.
    ~EmulatedRegister();
    EmulatedRegister(const EmulatedRegister&) = delete;
    EmulatedRegister& operator=(const EmulatedRegister&) = delete;

    // Opening an open port again is accepted: the program does so after a failed identification.
    // PortBusy while another program has the port open (see PortLock); once it is ours, the state
    // is read anew, as that program may have changed it.
    int32_t open(const char* portName, int32_t baud);
    // Also saves the state and lets another program have the port; StateNotSaved when the save
    // fails (the port is closed all the same, and the change given up).
    int32_t close();

    // The Russian text of a result in Windows-1251; for StateNotSaved with the last save's reason.
    std::string errorText(int32_t code);

    int32_t deviceType(uint8_t* software, uint8_t* unused, uint8_t* protocol, uint8_t* language, const char** model);
    int32_t serialNumber(const char** serial);

    // Both answer the number of bytes moved, the row's length.
    int32_t readRow(uint8_t table, uint16_t row, uint8_t* buffer, int32_t lastIndex);
    int32_t writeRow(uint8_t table, uint16_t row, const uint8_t* buffer, int32_t lastIndex);

    int32_t readGoods(uint16_t number, const char** name, const char** barcode, const char** section,
                      const char** price, const char** fractional, const char** sales, const char** returns);
    int32_t writeGoods(uint16_t number, const GoodsTexts& texts);

    // Kind 0: header record, kind 1: row record (see Logo).
    int32_t writeLogo(int32_t kind, const uint8_t* buffer, int32_t lastIndex);

    int32_t journalCount(int32_t* count, const uint8_t** reply);
    int32_t journalRecord(int32_t number, int32_t* value, const uint8_t** reply);
    int32_t nextJournalRecord(int32_t* value, const uint8_t** reply);
    int32_t findOccupiedGoods(int32_t* value, const uint8_t** reply);
    int32_t goodsStock(int32_t number, int32_t* value, const uint8_t** reply);

private:
    // Locks the register for one call and saves a change whose time has come.
    std::unique_lock<std::mutex> enter();
    // The answer of a call that changed the state: `done` when the change is saved or may wait.
    int32_t changed(int32_t done);
    void saveWhenDue();

    // Guards everything below: the program's calls and the save thread both reach the state and
    // the saver.
    std::mutex m_mutex;
    std::condition_variable m_wake; // a change is pending, or the register is going away
    bool m_stopping = false;
    std::thread m_saveThread; // started with the first open
    StateSaver m_saver;
    PortLock m_portLock;
    std::optional<RegisterState> m_state; // loaded when the port is opened
    bool m_open = false;
    JournalQueries m_queries;
    std::array<std::string, 7> m_goodsTexts;
    std::string m_model;
};

} // namespace orvel
