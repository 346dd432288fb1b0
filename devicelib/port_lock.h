#pragma once

#include <filesystem>

namespace orvel {

// Keeps the emulated register to one program at a time, as a serial port is kept: an advisory lock
// on "<state file>.lock" beside the state file (each save replaces the state file itself, so a lock
// on it would not outlast the save). The system drops the lock when the process ends, however it
// ends. The lock belongs to this object: a second one in the same process is refused too.
class PortLock {
public:
    enum Outcome {
        Taken,  // held now, and not before
        Kept,   // held already
        Busy,   // another program holds it
        NoLock, // the lock file cannot be made or locked there, nor, mostly, the state saved
    };

    explicit PortLock(const std::filesystem::path& stateFile);
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    Outcome take();
    void release();

private:
    std::filesystem::path m_file;
#if defined(_WIN32)
    void* m_handle = nullptr; // a HANDLE
#else
    int m_fd = -1;
#endif
};

} // namespace orvel
