#pragma once

#include "bridge_process.h"
#include "frame_codec.h"

#include <chrono>
#include <optional>
#include <string>

namespace bridge {

// Runs calls through orvel-bridge under Wine for one Windows DLL, starting the bridge at the
// first call, and again at the next SetPort or GetPortName after it died. Every way the bridge
// can fail leaves a text that says why.
class BridgeClient {
public:
    // `dll`: the Windows library; `bridgeFolder`: where orvel-bridge32.exe and orvel-bridge64.exe are.
    BridgeClient(std::string dll, std::string bridgeFolder);

    // The reply to `call`; nullopt when the bridge could not be reached or did not answer.
    std::optional<Message> call(const Message& call);

    // Why the last call failed, in Windows-1251; empty after a call that went through.
    const std::string& failureText() const { return m_failure; }

    // From another thread: the call waiting for the bridge gives up now, the bridge is stopped and
    // the connection lost, as when it does not answer in time. False when no call is waiting.
    bool abort() { return m_process.interrupt(); }

private:
    bool ensureRunning();
    // `lasting`: nothing changes until the program restarts (a missing file, say), so no new try.
    void fail(const std::string& utf8, bool lasting);

    std::string m_dll;
    std::string m_bridgeFolder;
    std::chrono::milliseconds m_callLimit;
    BridgeProcess m_process;
    std::string m_failure;
    bool m_lasting = false;
    bool m_lost = false; // the bridge died or hung, and no connection was begun since
    int m_bits = 0;
};

} // namespace bridge
