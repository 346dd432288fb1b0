#pragma once

#include <cstdint>
#include <QString>

// The most data bytes a reply may announce. The contract gives the program no length of the
// array besides the result itself, so a larger result is taken for a faulty library rather than
// read: no query of the register answers with more than a few dozen bytes.
constexpr int32_t maxReplyData = 4096;

// The reply array of a result 0 <= r <= maxReplyData as the test page shows it: its r + 5 bytes,
// each as two upper-case hexadecimal digits followed by a blank.
QString replyDump(const uint8_t* reply, int32_t result);
