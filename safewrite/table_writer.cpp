#include "table_writer.h"

#include "conversions.h"
#include "register_fields.h"
#include "register_link.h"

#include <map>

namespace TableWriter {

namespace {

constexpr int32_t lostConnection = -5;

// The section's fields by the page row that sends them, in the page's order.
std::map<int, QList<const RegisterFields::Field*>> pageRows(const QString& section) {
    std::map<int, QList<const RegisterFields::Field*>> rows;
    for (const RegisterFields::Field* field : RegisterFields::fieldsOf({section}))
        rows[field->pageRow] << field;
    return rows;
}

QString valueOf(const RegisterFields::Field& field, const SettingsLayout::Values& values) {
    return values.value(SettingsLayout::valueId(field.section, field.key));
}

} // namespace

void checkSendable(const QStringList& sections, const SettingsLayout::Values& values) {
    for (const RegisterFields::Field* field : RegisterFields::fieldsOf(sections)) {
        QByteArray bytes(field->row.size, '\0');
        try {
            field->put(bytes, valueOf(*field, values));
        } catch (const std::exception& e) {
            throw ConversionError(QStringLiteral("%1 (раздел %2, ключ %3)")
                                      .arg(QString::fromUtf8(e.what()), field->section, field->key)
                                      .toStdString());
        }
    }
}

Outcome write(RegisterLink& link, const QString& section, const SettingsLayout::Values& values,
              const std::function<void()>& step) {
    const auto rows = pageRows(section);
    Outcome outcome{0, int(rows.size()), 0};
    for (const auto& [pageRow, fields] : rows) {
        const RegisterFields::Row& row = fields.first()->row;
        QByteArray bytes(row.size, '\0');
        link.lastResult = 0;
        if (!row.update || link.readRow(row.table, row.number, bytes, row.enough) >= 0) {
            for (const RegisterFields::Field* field : fields)
                field->put(bytes, valueOf(*field, values));
            link.writeRow(row.table, row.number, bytes, row.enough);
        }
        if (step)
            step();
        if (link.lastResult == lostConnection) {
            outcome.firstFailure = lostConnection;
            break;
        }
        if (link.lastResult >= 0)
            ++outcome.rows;
        else if (outcome.firstFailure == 0)
            outcome.firstFailure = link.lastResult;
    }
    return outcome;
}

} // namespace TableWriter
