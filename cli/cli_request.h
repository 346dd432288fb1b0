#pragma once

#include <optional>
#include <QString>
#include <QStringList>
#include <utility>

// What the command line was asked to do.
struct CliRequest {
    enum class Command { Ports, Identify, Read, Diff, Apply };
    Command command = Command::Ports;
    QString port;
    int speed = 115200;
    QString settingsFile; // diff and apply
    QString out;          // read
    QString goods;        // read: the CSV file to export the goods range into; diff, apply: to write
    QString logo;         // diff, apply: the picture to upload as the receipt logo
    std::pair<int, int> range{1, 9999};
    bool check = false;
    QString backupDir; // empty: the user's data folder, as the window
    bool verify = true;
    bool json = false;
    QString deviceLibrary;
};

struct CliParse {
    std::optional<CliRequest> request;
    bool help = false;
    bool version = false;
    QString error; // why the arguments were refused, for the user
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
CliParse parseCliArguments(const QStringList& arguments);

// --help: commands, options and exit codes, in Russian under a Russian locale, otherwise in English.
QString cliHelp();
// Picks the user's language (the system's locale) for a text of the command line.
QString say(const char* russian, const char* english);
