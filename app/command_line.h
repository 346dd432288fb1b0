#pragma once

#include <QString>
#include <QStringList>

// What the program was asked for on its command line. Options it does not know are set
// aside, not refused, so that a start that worked before keeps working.
struct CommandLine {
    bool help = false;
    // Service staff's way to the test page: its navigation button stays visible.
    bool service = false;
    // --device-library: the device library to bind instead of the one beside the program.
    QString deviceLibrary;
    QStringList unknownOptions;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
CommandLine parseCommandLine(const QStringList& arguments);
// The text that --help prints.
QString commandLineHelp(const QString& program);
