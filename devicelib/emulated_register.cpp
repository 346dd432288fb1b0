#include "emulated_register.h"

#include "cp1251.h"
#include "error_texts.h"
#include "ports.h"
#include "result_codes.h"

#include <algorithm>

namespace orvel {

namespace {

constexpr std::array kBaudRates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

constexpr uint8_t kSoftwareVersion = 3;
constexpr uint8_t kProtocolVersion = 0x12; // 1.2
constexpr uint8_t kLanguage = 0x10;        // Russian, Windows-1251
constexpr const char* kSerialNumber = "00012345";

enum LogoKind : int32_t { LogoHeader = 0, LogoRow = 1 };

bool validGoodsNumber(int32_t number) {
    return number >= 1 && number <= kGoodsCount;
}

} // namespace

EmulatedRegister::EmulatedRegister(std::filesystem::path stateFile)
    : m_saver(stateFile)
    , m_portLock(stateFile)
    , m_model(toCp1251("Орвел-01К (эмулятор)")) {}

EmulatedRegister::~EmulatedRegister() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_saveThread.joinable())
        m_saveThread.join();
    if (m_state)
        m_saver.flush(*m_state);
}

std::unique_lock<std::mutex> EmulatedRegister::enter() {
    std::unique_lock lock(m_mutex);
    if (m_state)
        m_saver.saveIfDue(*m_state);
    return lock;
}

int32_t EmulatedRegister::changed(int32_t done) {
    const bool saved = m_saver.changed(*m_state);
    m_wake.notify_one();
    return saved ? done : StateNotSaved;
}

// Without it a change made within the interval of the last save would wait for the next call,
// which may never come before the program is killed.
void EmulatedRegister::saveWhenDue() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_saver.saveIfDue(*m_state);
        const auto due = m_saver.dueAt();
        if (due == StateSaver::Clock::time_point::max())
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, due);
    }
}

std::string EmulatedRegister::errorText(int32_t code) {
    const auto lock = enter();
    const int failure = m_saver.lastFailure();
    return code == StateNotSaved && failure != 0 ? saveFailureText(failure) : orvel::errorText(code);
}

int32_t EmulatedRegister::open(const char* portName, int32_t baud) {
    if (!portName)
        return NullPointer;
    if (Port port; !portByName(portName, port))
        return NoSuchPort;
    if (std::find(kBaudRates.begin(), kBaudRates.end(), baud) == kBaudRates.end())
        return BadBaudRate;
    const auto lock = enter();
    const PortLock::Outcome held = m_portLock.take();
    if (held == PortLock::Busy)
        return PortBusy;
    if (!m_state || held == PortLock::Taken)
        m_state = m_saver.load();
    if (!m_saveThread.joinable())
        m_saveThread = std::thread(&EmulatedRegister::saveWhenDue, this);
    m_open = true;
    m_queries.reset();
    return Ok;
}

int32_t EmulatedRegister::close() {
    const auto lock = enter();
    m_open = false;
    const bool saved = !m_state || m_saver.flush(*m_state);
    m_saver.discard();
    m_portLock.release();
    return saved ? Ok : StateNotSaved;
}

int32_t EmulatedRegister::deviceType(uint8_t* software, uint8_t* unused, uint8_t* protocol, uint8_t* language,
                                     const char** model) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!software || !unused || !protocol || !language || !model)
        return NullPointer;
    *software = kSoftwareVersion;
    *unused = 0;
    *protocol = kProtocolVersion;
    *language = kLanguage;
    *model = m_model.c_str();
    return Ok;
}

int32_t EmulatedRegister::serialNumber(const char** serial) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!serial)
        return NullPointer;
    *serial = kSerialNumber;
    return Ok;
}

int32_t EmulatedRegister::readRow(uint8_t table, uint16_t row, uint8_t* buffer, int32_t lastIndex) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!buffer)
        return NullPointer;
    if (const auto fault = RegisterTables::check(table, row, lastIndex))
        return fault;
    const auto bytes = m_state->tables.row(table, row);
    std::copy(bytes.begin(), bytes.end(), buffer);
    return static_cast<int32_t>(bytes.size());
}

int32_t EmulatedRegister::writeRow(uint8_t table, uint16_t row, const uint8_t* buffer, int32_t lastIndex) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!buffer)
        return NullPointer;
    if (const auto fault = RegisterTables::check(table, row, lastIndex))
        return fault;
    const auto bytes = m_state->tables.row(table, row);
    if (const auto fault = m_state->tables.checkValues(table, row, std::span(buffer, bytes.size())))
        return fault;
    std::copy(buffer, buffer + bytes.size(), bytes.begin());
    return changed(static_cast<int32_t>(bytes.size()));
}

int32_t EmulatedRegister::readGoods(uint16_t number, const char** name, const char** barcode, const char** section,
                                    const char** price, const char** fractional, const char** sales,
                                    const char** returns) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!validGoodsNumber(number))
        return GoodsNumberOutOfRange;
    const std::array outs{name, barcode, section, price, fractional, sales, returns};
    if (std::find(outs.begin(), outs.end(), nullptr) != outs.end())
        return NullPointer;
    m_goodsTexts = formatGoods(m_state->goods[number - 1]);
    for (std::size_t i = 0; i < outs.size(); ++i)
        *outs[i] = m_goodsTexts[i].c_str();
    return Ok;
}

int32_t EmulatedRegister::writeGoods(uint16_t number, const GoodsTexts& texts) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!validGoodsNumber(number))
        return GoodsNumberOutOfRange;
    GoodsRecord& stored = m_state->goods[number - 1];
    GoodsRecord written;
    if (const auto fault = parseGoods(texts, written))
        return fault;
    // The sales and returns counters belong to the register: a write checks their texts but keeps them.
    written.sales = stored.sales;
    written.returns = stored.returns;
    stored = written;
    return changed(Ok);
}

int32_t EmulatedRegister::writeLogo(int32_t kind, const uint8_t* buffer, int32_t lastIndex) {
    const auto lock = enter();
    if (!m_open)
        return PortNotOpen;
    if (!buffer)
        return NullPointer;
    if (kind != LogoHeader && kind != LogoRow)
        return UnknownLogoKind;
    auto& logo = m_state->logo;
    if (const auto fault = kind == LogoHeader ? logo.writeHeader(buffer, lastIndex) : logo.writeRow(buffer, lastIndex))
        return fault;
    return changed(Ok);
}

int32_t EmulatedRegister::journalCount(int32_t* count, const uint8_t** reply) {
    const auto lock = enter();
    return m_open ? m_queries.count(count, reply) : PortNotOpen;
}

int32_t EmulatedRegister::journalRecord(int32_t number, int32_t* value, const uint8_t** reply) {
    const auto lock = enter();
    return m_open ? m_queries.record(number, value, reply) : PortNotOpen;
}

int32_t EmulatedRegister::nextJournalRecord(int32_t* value, const uint8_t** reply) {
    const auto lock = enter();
    return m_open ? m_queries.next(value, reply) : PortNotOpen;
}

int32_t EmulatedRegister::findOccupiedGoods(int32_t* value, const uint8_t** reply) {
    const auto lock = enter();
    return m_open ? m_queries.findOccupied(m_state->goods, value, reply) : PortNotOpen;
}

int32_t EmulatedRegister::goodsStock(int32_t number, int32_t* value, const uint8_t** reply) {
    const auto lock = enter();
    return m_open ? m_queries.stock(m_state->goods, number, value, reply) : PortNotOpen;
}

} // namespace orvel
