#pragma once

#include "exchange_log.h"

#include <QString>

// How a recorded call reads in the exchange log: Russian words for the arguments, buffers in
// hexadecimal, the library's Windows-1251 texts decoded and quoted.

// The arguments and whatever the call sent.
QString sentText(const DeviceCall& call);
// Whatever came back besides the result; empty for a failed call.
QString receivedText(const DeviceCall& call);
// The call's start as local time of day, to the millisecond.
QString timeText(const ExchangeLog& log, const DeviceCall& call);
// Milliseconds with three decimals in the locale's form.
QString durationText(std::chrono::nanoseconds duration);
