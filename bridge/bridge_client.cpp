#include "bridge_client.h"

#include "bridge_texts.h"
#include "functions.h"
#include "pe_header.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace bridge {

namespace {

// Wine creates its prefix on its first run, which takes far longer than starting.
constexpr std::chrono::seconds kStartLimit{180};
// A register's call over a slow wire with the maker's retries stays well within this.
constexpr std::chrono::milliseconds kCallLimit{30000};

// KKM_BRIDGE_CALL_LIMIT_MS shortens the wait for a reply, so that a hung bridge shows quickly.
std::chrono::milliseconds callLimit() {
    const char* named = std::getenv("KKM_BRIDGE_CALL_LIMIT_MS");
    const long value = named ? std::strtol(named, nullptr, 10) : 0;
    return value > 0 ? std::chrono::milliseconds(value) : kCallLimit;
}

// Quiet Wine, and no offer to install Mono or Gecko when the prefix is created: the DLL needs neither.
std::vector<std::string> wineEnvironment() {
    std::vector<std::string> environment;
    if (!std::getenv("WINEDEBUG"))
        environment.emplace_back("WINEDEBUG=-all");
    if (!std::getenv("WINEDLLOVERRIDES"))
        environment.emplace_back("WINEDLLOVERRIDES=mscoree,mshtml=");
    return environment;
}

// Debian's `wine` is the 32-bit loader once wine32 is installed, and runs a 64-bit program through
// a starter process; the 64-bit loader runs it directly, so the process we start is the bridge.
std::string wineLoader(int bits) {
    if (bits == 64 && std::filesystem::exists("/usr/lib/wine/wine64"))
        return "/usr/lib/wine/wine64";
    return "wine";
}

std::string seconds(std::chrono::milliseconds limit) {
    return std::to_string((limit.count() + 999) / 1000);
}

} // namespace

BridgeClient::BridgeClient(std::string dll, std::string bridgeFolder)
    : m_dll(std::move(dll))
    , m_bridgeFolder(std::move(bridgeFolder))
    , m_callLimit(callLimit()) {}

std::optional<Message> BridgeClient::call(const Message& call) {
    // A new bridge has a freshly loaded DLL with no port open: after one died, only the calls that
    // begin a connection start another, and the rest fail as the lost connection they are.
    const auto function = static_cast<Function>(call.tag);
    if (m_lost && function != Function::SetPort && function != Function::GetPortName)
        return std::nullopt;
    if (!ensureRunning())
        return std::nullopt;
    m_lost = false;
    std::optional<Message> reply;
    if (m_process.send(call))
        reply = m_process.receive(m_callLimit);
    if (reply) {
        m_failure.clear();
        return reply;
    }
    m_lost = true;
    if (m_process.interrupted())
        fail("Библиотека " + m_dll +
                 " не ответила до нажатия «Прервать»; программа-мост остановлена, связь с ККМ потеряна.",
             false);
    else if (m_process.timedOut())
        fail("Библиотека " + m_dll + " не ответила за " + seconds(m_callLimit) +
                 " с; программа-мост остановлена, связь с ККМ потеряна.",
             false);
    else
        fail("Программа-мост к библиотеке " + m_dll + " завершилась (" + exitDescription(m_process.exitStatus()) +
                 "); связь с ККМ потеряна.",
             false);
    return std::nullopt;
}

bool BridgeClient::ensureRunning() {
    if (m_lasting)
        return false;
    if (m_process.running())
        return true;
    const std::string head = readImageHead(m_dll.c_str());
    if (head.empty()) {
        fail("Не найдена библиотека Windows " + m_dll + ".", true);
        return false;
    }
    m_bits = peImageBits(head);
    if (m_bits == 0) {
        fail("Файл " + m_dll + " не является 32- или 64-разрядной библиотекой Windows.", true);
        return false;
    }
    const std::string bridge = m_bridgeFolder + "/orvel-bridge" + std::to_string(m_bits) + ".exe";
    if (!std::filesystem::exists(bridge)) {
        fail("Не найдена программа-мост " + bridge + " для библиотеки " + m_dll + ".", true);
        return false;
    }
    const std::string folder = std::filesystem::path(m_dll).parent_path().string();
    if (!m_process.start({wineLoader(m_bits), bridge, windowsPath(m_dll)}, folder.empty() ? "." : folder,
                         wineEnvironment())) {
        fail("Не удалось запустить Wine: " + std::string(std::strerror(errno)) +
                 ". Установите его (пакет wine), см. README.",
             true);
        return false;
    }
    const auto hello = m_process.receive(kStartLimit);
    if (!hello && m_process.interrupted()) {
        fail("Wine не запустил программу-мост " + bridge + " до нажатия «Прервать».", false);
        return false;
    }
    if (!hello && m_process.timedOut()) {
        fail("Wine не запустил программу-мост " + bridge + " за " + seconds(kStartLimit) + " с.", false);
        return false;
    }
    if (!hello) {
        fail("Программа-мост " + bridge + " не запустилась под Wine (" + exitDescription(m_process.exitStatus()) + ")" +
                 (m_bits == 32 ? "; для 32-разрядной библиотеки нужен пакет wine32." : "."),
             true);
        return false;
    }
    switch (numberAt(*hello, 0)) {
    case Ready:
        return true;
    case FunctionsMissing:
        fail("В библиотеке " + m_dll + " нет функций: " + stringAt(*hello, 0).value_or("") + ".", true);
        return false;
    default:
        fail("Wine не смог загрузить библиотеку " + m_dll + " (код ошибки Windows " +
                 std::to_string(numberAt(*hello, 1)) + ").",
             true);
        return false;
    }
}

void BridgeClient::fail(const std::string& utf8, bool lasting) {
    m_failure = toWindows1251(utf8);
    m_lasting = lasting;
}

} // namespace bridge
