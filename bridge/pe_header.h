#pragma once

#include <string_view>

namespace bridge {

// 32 or 64 for a Windows image (DLL or EXE) built for x86 or x86-64, from its first bytes (the
// DOS header, and the PE header it points to); 0 for anything else.
int peImageBits(std::string_view head);

// The first bytes of a file, enough for peImageBits; empty when it cannot be read.
std::string readImageHead(const char* path);

} // namespace bridge
