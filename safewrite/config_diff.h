#pragma once

#include "register_fields.h"
#include "settings_layout.h"

#include <QList>
#include <QString>

// Differences between the register and a configuration, field by field, and what a read after a
// write makes of them.
namespace ConfigDiff {

struct Difference {
    const RegisterFields::Field* field = nullptr;
    QString before; // the register's value
    QString after;  // the configuration's value, as the page or file holds it
};

// The register's values of the fields.
SettingsLayout::Values registerValues(const QList<const RegisterFields::Field*>& fields,
                                      const QHash<QString, QByteArray>& rows);
// The key under which registerValues() expects a row's bytes.
QString rowId(const RegisterFields::Row& row);

// The fields whose configured value, once written, would read back other than the register's.
// A value the write would refuse differs from any register value.
QList<Difference> differences(const QList<const RegisterFields::Field*>& fields,
                              const SettingsLayout::Values& registerValues, const SettingsLayout::Values& configured);

enum class Mismatch {
    NotStored, // the register still holds the value it held before the write
    Changed,   // the register holds a third value
};

struct Verified {
    const RegisterFields::Field* field = nullptr;
    QString expected; // what the written value reads back as
    QString held;     // what the register holds now
    Mismatch kind = Mismatch::NotStored;
};

struct Verification {
    int matching = 0;
    QList<Verified> mismatches;
};

// Checks every field of the written rows against what was written. `before` holds the register's
// values from before the write (for telling a value not stored from one the register changed).
Verification verify(const QList<const RegisterFields::Field*>& fields, const SettingsLayout::Values& configured,
                    const SettingsLayout::Values& before, const SettingsLayout::Values& after);

} // namespace ConfigDiff
