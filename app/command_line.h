#pragma once

#include <QString>
#include <QStringList>

// What the program was asked for on its command line. Options it does not know are set
// aside, not refused, so that a start that worked before keeps working.
struct CommandLine {
    bool help = false;
    bool version = false;
    // Service staff's way to the test page: its navigation button stays visible.
    bool service = false;
    // --device-library: the device library to bind instead of the one beside the program.
    QString deviceLibrary;
    QStringList unknownOptions;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
CommandLine parseCommandLine(const QStringList& arguments);

// What --help and --version print: in Russian under a Russian locale, otherwise in English.
// Qt's own headings of the help come from its translation, loaded for the same locale.
QString commandLineHelp();
QString versionText();
