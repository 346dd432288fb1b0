#pragma once

#include <string>
#include <string_view>

namespace orvel {

// Converts UTF-8 to Windows-1251 for the library's own Russian texts. Only ASCII, the basic
// Cyrillic letters, Ё, ё and № are known; any other character or a broken sequence gives '?'.
std::string toCp1251(std::string_view utf8);

} // namespace orvel
