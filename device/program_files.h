#pragma once

#include <QString>

// The installed program keeps its own files (device library, help) in folders named relative to
// its executable's folder, so an unpacked package works under any root; a program started from
// its build folder has them beside it. The installed folder comes first: a file put there
// (a register maker's device library) replaces ours.
// The path of `name` in the first of those folders that holds it; empty when neither does.
QString findProgramFile(const QString& executableFolder, const QString& installedFolder, const QString& name);

// True when the program runs as installed from its package: its library folder is there. An
// installed program keeps the user's files in the user's folders, never beside itself.
bool isInstalledProgram(const QString& executableFolder);
