#pragma once

#include <cstdint>
#include <functional>
#include <QByteArray>
#include <QString>

class ErrorReporter;
class RegisterLink;

// How a page moves one row of its register table. The window first processes
// pending input, so a long transfer repaints and the stop button works; the
// device calls keep the link's retry rule and leave their result as the last
// device result; a failure is reported under the operation's location tag.
class RowIo {
public:
    // `enough`: the result that ends a call's retries early (0 for every table but the operators').
    RowIo(RegisterLink& link, ErrorReporter& errors, uint8_t table, int rowSize, int32_t enough = 0)
        : m_link(link)
        , m_errors(errors)
        , m_table(table)
        , m_rowSize(rowSize)
        , m_enough(enough) {}

    // Hands the row's bytes to `show`; a failed read shows nothing.
    void read(const QString& tag, uint16_t row, const std::function<void(const QByteArray&)>& show);
    // Sends the row `build` makes from the page; `build` throws to refuse it.
    void write(const QString& tag, uint16_t row, const std::function<QByteArray()>& build);
    // Reads the row afresh and writes it back once `put` has replaced its
    // field, so every other byte goes back as the register holds it.
    void update(const QString& tag, uint16_t row, const std::function<void(QByteArray&)>& put);

private:
    RegisterLink& m_link;
    ErrorReporter& m_errors;
    uint8_t m_table;
    int m_rowSize;
    int32_t m_enough;
};
