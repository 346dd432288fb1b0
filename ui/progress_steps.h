#pragma once

#include <QProgressBar>

// Advances a progress bar one step at a time, but moves the bar itself only
// when its percentage changes: the bar repaints synchronously whenever it grows,
// which costs more than a goods record, and a finer bar shows nothing more.
class ProgressSteps {
public:
    explicit ProgressSteps(QProgressBar* bar)
        : m_bar(bar)
        , m_value(bar->value()) {}

    void step() {
        ++m_value;
        if (m_value == m_bar->maximum() || percent(m_value) != percent(m_bar->value()))
            m_bar->setValue(m_value);
    }

private:
    int percent(int value) const {
        const qint64 span = qint64(m_bar->maximum()) - m_bar->minimum();
        return span > 0 ? int((qint64(value) - m_bar->minimum()) * 100 / span) : 0;
    }

    QProgressBar* m_bar;
    int m_value;
};
