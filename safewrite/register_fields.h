#pragma once

#include <cstdint>
#include <functional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Where each key of the settings file lives in the register: its table row, how the row's bytes
// read as the key's value (the value a page shows after reading it), and what a page's value
// reads back as once a write has sent it.
namespace RegisterFields {

struct Row {
    uint8_t table = 0;
    uint16_t number = 0;
    int size = 0;
    // The result that ends a call's retries early (the operators' table asks for more than 0).
    int32_t enough = 0;
    // The page reads the row afresh and writes it back with its fields replaced, instead of
    // writing the row from its fields alone.
    bool update = false;
    friend bool operator==(const Row&, const Row&) = default;
};

struct Field {
    QString section;
    QString key;
    QString caption; // as the page shows the field
    Row row;
    // The row (or, on the options pages, the field number) of the page's write that sends it.
    int pageRow = 0;
    std::function<QString(const QByteArray&)> read;
    // Puts the value into the row's bytes as the page's write does after a settings load, and
    // throws as that write does when the value cannot be sent.
    std::function<void(QByteArray&, const QString&)> put;

    // What the value reads back as once written.
    QString written(const QString& value) const;
};

// Every key of the settings file, in the file's order.
const QList<Field>& fields();
// The fields of the given settings sections.
QList<const Field*> fieldsOf(const QStringList& sections);
// The rows `fields` live in, each once, in the fields' order.
QList<Row> rowsOf(const QList<const Field*>& fields);

} // namespace RegisterFields
