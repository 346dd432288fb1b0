#include "row_io.h"

#include "error_reporter.h"
#include "register_link.h"

#include <QCoreApplication>

void RowIo::read(const QString& tag, uint16_t row, const std::function<void(const QByteArray&)>& show) {
    m_errors.guard(tag, [&] {
        QCoreApplication::processEvents();
        QByteArray bytes(m_rowSize, '\0');
        if (m_link.readRow(m_table, row, bytes, m_enough) >= 0)
            show(bytes);
    });
}

void RowIo::write(const QString& tag, uint16_t row, const std::function<QByteArray()>& build) {
    m_errors.guard(tag, [&] {
        QCoreApplication::processEvents();
        m_link.writeRow(m_table, row, build(), m_enough);
    });
}

void RowIo::update(const QString& tag, uint16_t row, const std::function<void(QByteArray&)>& put) {
    m_errors.guard(tag, [&] {
        QCoreApplication::processEvents();
        QByteArray bytes(m_rowSize, '\0');
        if (m_link.readRow(m_table, row, bytes, m_enough) < 0)
            return;
        put(bytes);
        m_link.writeRow(m_table, row, bytes, m_enough);
    });
}
