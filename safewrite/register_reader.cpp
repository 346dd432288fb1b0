#include "register_reader.h"

#include "config_diff.h"
#include "register_link.h"

QHash<QString, QByteArray> readRegisterRows(RegisterLink& link, const QList<RegisterFields::Row>& rows,
                                            const std::function<void()>& step) {
    QHash<QString, QByteArray> read;
    for (const RegisterFields::Row& row : rows) {
        QByteArray bytes(row.size, '\0');
        if (link.readRow(row.table, row.number, bytes, row.enough) < 0)
            break;
        read.insert(ConfigDiff::rowId(row), bytes);
        if (step)
            step();
    }
    return read;
}
