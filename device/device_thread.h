#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <QPointer>
#include <thread>

class QAbstractEventDispatcher;

// The one thread a device library's calls run on. The window's thread hands a call over and
// waits; once the call has taken longer than a moment, it handles its events while it waits, so
// that a register or bridge that hangs does not freeze the window. Meanwhile the user's input
// reaches only the control let through (the stop button): a click anywhere else could start a
// second call while the first one's texts are still unread.
class DeviceThread {
public:
    // Calls quicker than this handle no events, as a call made on the window's thread would not.
    static constexpr std::chrono::milliseconds kQuietWait{50};

    DeviceThread();
    // Waits for the call in progress, if any, and ends the thread.
    ~DeviceThread();
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;

    // Runs `call` on the thread and returns what it returned. One call at a time: the held-back
    // input keeps a second one from starting during the wait.
    template <typename Call> auto run(Call&& call) {
        decltype(call()) result{};
        auto job = [&] { result = call(); };
        wait([](void* context) { (*static_cast<decltype(job)*>(context))(); }, &job);
        return result;
    }

    // Whether a call is being waited for; only for the thread that waits.
    bool busy() const { return m_busy; }
    // Input to `control` or its children still gets through while a call is waited for.
    void letThrough(QObject* control) { m_passing = control; }

private:
    void wait(void (*job)(void*), void* context);
    void work();

    // A goods transfer makes thousands of quick calls in a row: each side first spins this long for
    // the other before it sleeps, which saves the two wake-ups a call would otherwise cost.
    static constexpr std::chrono::microseconds kSpin{200};

    void (*m_job)(void*) = nullptr;
    void* m_context = nullptr;
    std::atomic<bool> m_pending{false}; // a job was handed over (or the thread is to end)
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_callerAsleep{false};
    bool m_ending = false;

    // Wakes the caller once it sleeps; guards m_pumping.
    std::mutex m_lock;
    std::condition_variable m_jobDone;
    // The waiting thread's dispatcher while it handles events: woken when the call ends.
    QAbstractEventDispatcher* m_pumping = nullptr;

    bool m_busy = false;
    QPointer<QObject> m_passing;
    std::thread m_worker;
};
