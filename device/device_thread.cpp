#include "device_thread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QScopeGuard>

namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

bool within(const QObject* object, const QObject* ancestor) {
    for (; object; object = object->parent()) {
        if (object == ancestor)
            return true;
    }
    return false;
}

// Drops the user's input to widgets other than `passing` for as long as it exists. Input reaches a
// window before its widget, so only the widget's share is dropped.
class InputGate : public QObject {
public:
    explicit InputGate(const QObject* passing)
        : m_passing(passing) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool toWidget = watched->isWidgetType() || event->type() == QEvent::Shortcut;
        return toWidget && isInput(event->type()) && !(m_passing && within(watched, m_passing));
    }

private:
    const QObject* m_passing;
};

// Spins for at most `limit` until `ready` holds; whether it did.
template <typename Ready> bool spinUntil(Ready&& ready, std::chrono::microseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::yield();
    }
    return true;
}

} // namespace

DeviceThread::DeviceThread()
    : m_worker([this] { work(); }) {}

DeviceThread::~DeviceThread() {
    m_ending = true;
    m_pending.store(true);
    m_pending.notify_one();
    m_worker.join();
}

void DeviceThread::wait(void (*job)(void*), void* context) {
    Q_ASSERT_X(!m_busy, "DeviceThread::run", "a device call started while another is waited for");
    m_busy = true;
    const auto idle = qScopeGuard([this] { m_busy = false; });
    m_job = job;
    m_context = context;
    m_done.store(false);
    m_pending.store(true);
    m_pending.notify_one();
    if (spinUntil([this] { return m_done.load(); }, kSpin))
        return;
    std::unique_lock lock(m_lock);
    m_callerAsleep.store(true);
    const auto awake = qScopeGuard([this] { m_callerAsleep.store(false); });
    if (m_jobDone.wait_for(lock, kQuietWait, [this] { return m_done.load(); }))
        return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) {
        m_jobDone.wait(lock, [this] { return m_done.load(); });
        return;
    }
    const InputGate gate(m_passing);
    m_pumping = dispatcher;
    while (!m_done.load()) {
        lock.unlock();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        lock.lock();
    }
    m_pumping = nullptr;
}

void DeviceThread::work() {
    for (;;) {
        if (!spinUntil([this] { return m_pending.load(); }, kSpin))
            m_pending.wait(false);
        if (m_ending)
            return;
        m_pending.store(false);
        m_job(m_context);
        m_done.store(true);
        // Both sides use sequentially consistent order: either the caller sees the job done before
        // it sleeps, or this sees it asleep.
        if (m_callerAsleep.load()) {
            const std::lock_guard lock(m_lock);
            m_jobDone.notify_one();
            if (m_pumping)
                m_pumping->wakeUp();
        }
    }
}
