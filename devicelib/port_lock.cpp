#include "port_lock.h"

#include "state_file.h"

#include <system_error>
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace orvel {

namespace {

// The state's folder as a save makes it; false when it is refused or cannot be made.
bool makeFolder(const std::filesystem::path& stateFile) {
    if (checkStateFolder(stateFile) != 0)
        return false;
    std::error_code error;
    std::filesystem::create_directories(stateFile.parent_path(), error);
    return !error;
}

} // namespace

PortLock::PortLock(const std::filesystem::path& stateFile)
    : m_file(stateFile.empty() ? stateFile : std::filesystem::path(stateFile) += ".lock") {}

PortLock::~PortLock() {
    release();
}

#if defined(_WIN32)
PortLock::Outcome PortLock::take() {
    if (m_handle)
        return Kept;
    if (!makeFolder(m_file))
        return NoLock;
    const HANDLE file = CreateFileW(m_file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return NoLock;
    OVERLAPPED start{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION ? Busy : NoLock;
    }
    m_handle = file;
    return Taken;
}

// Closing the handle unlocks the file.
void PortLock::release() {
    if (m_handle)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}
#else
PortLock::Outcome PortLock::take() {
    if (m_fd >= 0)
        return Kept;
    if (!makeFolder(m_file))
        return NoLock;
    // Not inherited by programs this one starts, which would hold the register after it quits.
    const int fd = ::open(m_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return NoLock;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Busy : NoLock;
    }
    m_fd = fd;
    return Taken;
}

// Closing the descriptor unlocks the file.
void PortLock::release() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
#endif

} // namespace orvel
