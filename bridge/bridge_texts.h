#pragma once

#include <string>
#include <string_view>

// The bridge form's own texts: the library speaks Windows-1251, the texts are written in UTF-8.
namespace bridge {

// Characters Windows-1251 lacks become '?'.
std::string toWindows1251(std::string_view utf8);

// How a process ended, from its wait status: "код 3", "сигнал 9".
std::string exitDescription(int waitStatus);

// The path under Wine's drive Z:, which maps the Linux root: /home/a/Orvel.dll -> Z:\home\a\Orvel.dll.
std::string windowsPath(std::string_view linuxPath);

} // namespace bridge
