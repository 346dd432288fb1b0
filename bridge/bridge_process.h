#pragma once

#include "frame_codec.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace bridge {

// One running orvel-bridge process: frames go to its standard input, replies come from its
// standard output. A process that dies or does not answer in time is gone for good (killed
// when it hung); the owner starts a new one.
class BridgeProcess {
public:
    BridgeProcess();
    BridgeProcess(const BridgeProcess&) = delete;
    BridgeProcess& operator=(const BridgeProcess&) = delete;
    // Closes the process's input so that it unloads the DLL and exits; kills it if it lingers.
    ~BridgeProcess();

    // Starts `argv` (looked up on PATH) in `folder` with `environment` added to ours. False with
    // errno set when it could not be started.
    bool start(const std::vector<std::string>& argv, const std::string& folder,
               const std::vector<std::string>& environment);

    // The next message from the process, waiting at most `limit`; nullopt when the process died
    // or sent garbage (it is then killed and reaped), or did not answer in time (it is killed).
    std::optional<Message> receive(std::chrono::milliseconds limit);
    // False when the process is gone (it is then killed and reaped).
    bool send(const Message& message);

    bool running() const { return m_pid > 0; }
    // How the process ended: a wait status, meaningful once it is not running.
    int exitStatus() const { return m_status; }
    // Whether the last receive gave up because the time ran out.
    bool timedOut() const { return m_timedOut; }

    // From any thread: makes a receive waiting now give up at once and kill the process, as when
    // its time runs out. False, and nothing changes, when no receive is waiting.
    bool interrupt();
    // Whether the last receive gave up because it was interrupted.
    bool interrupted() const { return m_interrupted; }

private:
    std::optional<Message> receiveFrame(std::chrono::milliseconds limit);
    // Closes the pipes, gives the process `grace` to exit on its own, then kills it; reaps it.
    void end(std::chrono::milliseconds grace);

    pid_t m_pid = 0;
    int m_input = -1;  // the process's standard input
    int m_output = -1; // its standard output
    int m_status = 0;
    bool m_timedOut = false;
    bool m_interrupted = false;
    std::string m_buffer;

    // Readable once an interrupt asks the waiting receive to give up.
    int m_interrupt = -1;
    // Guards m_receiving, so that an interrupt reaches only the receive it was meant for.
    std::mutex m_interruptLock;
    bool m_receiving = false;
};

} // namespace bridge
