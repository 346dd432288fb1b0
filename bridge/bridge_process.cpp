#include "bridge_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace bridge {

namespace {

// Time a closed bridge gets to unload its DLL (which may save or close a port) before it is killed.
constexpr std::chrono::seconds kExitWait{10};
// Time a bridge that closed its end gets to finish exiting, so that its own exit status is kept.
constexpr std::chrono::seconds kDyingWait{1};

// Writes to a pipe whose reader died raise SIGPIPE, which would end the whole program: it is
// blocked for the write and a pending one is taken back.
bool writeAll(int fd, std::string_view bytes) {
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    bool ok = true;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            if (errno == EPIPE) {
                const timespec noWait{};
                sigtimedwait(&pipeSignal, nullptr, &noWait);
            }
            ok = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

} // namespace

BridgeProcess::BridgeProcess()
    : m_interrupt(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

BridgeProcess::~BridgeProcess() {
    end(kExitWait);
    ::close(m_interrupt);
}

bool BridgeProcess::start(const std::vector<std::string>& argv, const std::string& folder,
                          const std::vector<std::string>& environment) {
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(toChild[0]);
        ::close(toChild[1]);
        errno = error;
        return false;
    }
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    std::vector<char*> variables;
    for (const std::string& variable : environment)
        variables.push_back(const_cast<char*>(variable.c_str()));
    for (char** variable = environ; *variable; ++variable)
        variables.push_back(*variable);
    variables.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // A group of its own: Wine may run the bridge in a process of its own under a starter, and
    // a hung bridge is ended with the whole group.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int error = ::posix_spawnp(&m_pid, arguments[0], &actions, &attributes, arguments.data(), variables.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (error != 0) {
        m_pid = 0;
        ::close(toChild[1]);
        ::close(fromChild[0]);
        errno = error;
        return false;
    }
    m_input = toChild[1];
    m_output = fromChild[0];
    m_buffer.clear();
    m_timedOut = false;
    m_interrupted = false;
    return true;
}

std::optional<Message> BridgeProcess::receive(std::chrono::milliseconds limit) {
    {
        const std::lock_guard lock(m_interruptLock);
        m_receiving = true;
    }
    auto message = receiveFrame(limit);
    const std::lock_guard lock(m_interruptLock);
    m_receiving = false;
    // An interrupt that came after the answer is dropped with the wait it was meant for.
    uint64_t pending = 0;
    static_cast<void>(::read(m_interrupt, &pending, sizeof pending));
    return message;
}

bool BridgeProcess::interrupt() {
    const std::lock_guard lock(m_interruptLock);
    if (!m_receiving)
        return false;
    const uint64_t one = 1;
    return ::write(m_interrupt, &one, sizeof one) == sizeof one;
}

std::optional<Message> BridgeProcess::receiveFrame(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::size_t wanted = kLengthSize;
    while (running()) {
        if (m_buffer.size() >= kLengthSize)
            wanted = kLengthSize + payloadLength(m_buffer);
        if (wanted > kLengthSize + kMaxPayload)
            break;
        if (m_buffer.size() >= wanted) {
            auto message = decodeFrame(std::string_view(m_buffer).substr(0, wanted));
            m_buffer.erase(0, wanted);
            if (!message)
                break;
            return message;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready[] = {{m_output, POLLIN, 0}, {m_interrupt, POLLIN, 0}};
        const int polled = ::poll(ready, 2, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0 || ready[1].revents) {
            m_timedOut = polled == 0;
            m_interrupted = !m_timedOut;
            end(std::chrono::milliseconds(0));
            return std::nullopt;
        }
        char chunk[65536];
        const ssize_t got = polled < 0 ? -1 : ::read(m_output, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
    end(kDyingWait);
    return std::nullopt;
}

bool BridgeProcess::send(const Message& message) {
    if (running() && writeAll(m_input, encodeFrame(message)))
        return true;
    end(kDyingWait);
    return false;
}

void BridgeProcess::end(std::chrono::milliseconds grace) {
    for (int* fd : {&m_input, &m_output}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (!running())
        return;
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (::waitpid(m_pid, &m_status, WNOHANG) != m_pid) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-m_pid, SIGKILL);
            ::waitpid(m_pid, &m_status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_pid = 0;
}

} // namespace bridge
