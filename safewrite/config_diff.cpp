#include "config_diff.h"

#include <exception>
#include <optional>

namespace ConfigDiff {

namespace {

QString idOf(const RegisterFields::Field& field) {
    return SettingsLayout::valueId(field.section, field.key);
}

// What the value reads back as once written; empty when the write would refuse it.
std::optional<QString> writtenValue(const RegisterFields::Field& field, const QString& value) {
    try {
        return field.written(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

QString rowId(const RegisterFields::Row& row) {
    return QStringLiteral("%1/%2").arg(row.table).arg(row.number);
}

SettingsLayout::Values registerValues(const QList<const RegisterFields::Field*>& fields,
                                      const QHash<QString, QByteArray>& rows) {
    SettingsLayout::Values values;
    for (const RegisterFields::Field* field : fields) {
        const auto row = rows.constFind(rowId(field->row));
        if (row != rows.cend())
            values.insert(idOf(*field), field->read(*row));
    }
    return values;
}

QList<Difference> differences(const QList<const RegisterFields::Field*>& fields,
                              const SettingsLayout::Values& registerValues, const SettingsLayout::Values& configured) {
    QList<Difference> found;
    for (const RegisterFields::Field* field : fields) {
        const QString id = idOf(*field);
        if (!registerValues.contains(id) || !configured.contains(id))
            continue;
        const QString before = registerValues.value(id);
        const QString after = configured.value(id);
        if (writtenValue(*field, after) != before)
            found << Difference{field, before, after};
    }
    return found;
}

Verification verify(const QList<const RegisterFields::Field*>& fields, const SettingsLayout::Values& configured,
                    const SettingsLayout::Values& before, const SettingsLayout::Values& after) {
    Verification result;
    for (const RegisterFields::Field* field : fields) {
        const QString id = idOf(*field);
        if (!after.contains(id) || !configured.contains(id))
            continue;
        const QString held = after.value(id);
        const std::optional<QString> expected = writtenValue(*field, configured.value(id));
        // A value the write refused was not sent, and has been reported as refused.
        if (!expected)
            continue;
        if (*expected == held) {
            ++result.matching;
            continue;
        }
        result.mismatches << Verified{field, *expected, held,
                                      held == before.value(id) ? Mismatch::NotStored : Mismatch::Changed};
    }
    return result;
}

} // namespace ConfigDiff
