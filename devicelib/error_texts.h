#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// The Russian text of a result, in Windows-1251: a "no error" text for 0 and above, the fault's
// own text for a known code, and a text naming the number for any other code.
std::string errorText(int32_t code);

// StateNotSaved's text with its reason, `failure` being an errno value or a SaveFailure; the
// common reasons in words, any other with its number.
std::string saveFailureText(int failure);

} // namespace orvel
