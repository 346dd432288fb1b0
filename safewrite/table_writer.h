#pragma once

#include "settings_layout.h"

#include <cstdint>
#include <functional>
#include <QString>
#include <QStringList>

class RegisterLink;

// Sends a configuration's values to the register as each table's page writes its table after
// loading them from a settings file: the page's rows in order, each either read afresh and written
// back with its fields replaced (options, print options, operators) or made of its fields alone,
// every call with the link's retry rule.
namespace TableWriter {

// Throws ConversionError naming the section and key of the first value of `sections` that a write
// would refuse, so that nothing is sent for a configuration that cannot go out whole.
void checkSendable(const QStringList& sections, const SettingsLayout::Values& values);

struct Outcome {
    int rows = 0;             // page rows written
    int total = 0;            // page rows of the table
    int32_t firstFailure = 0; // the first failed row's result; 0 when every row went out
};

// Writes `section`'s table, calling `step` after each page row. A failed row does not stop the
// write; a lost register (-5) does.
Outcome write(RegisterLink& link, const QString& section, const SettingsLayout::Values& values,
              const std::function<void()>& step = {});

} // namespace TableWriter
