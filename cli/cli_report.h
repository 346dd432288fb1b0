#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The exit codes a fleet engine tells outcomes by.
enum class ExitCode {
    Done = 0,       // nothing changed
    BadInput = 1,   // bad arguments or bad file; nothing was sent
    Changed = 2,    // changes made, or pending for --check and diff
    Refused = 3,    // the register refused a write
    Mismatch = 4,   // the check after the write found other values
    NoRegister = 5, // port not found, busy, or no answer
};

// What a command ends with: one JSON object for --json, plain lines otherwise.
struct CliReport {
    ExitCode exit = ExitCode::Done;
    QJsonObject json;
    QStringList lines;

    // Ends the report as failed with `message` (also its JSON "msg").
    CliReport& fail(ExitCode code, const QString& message);
};

// The report as printed: the JSON object on one line, or its lines.
QByteArray printed(const CliReport& report, bool json);
