#pragma once

#include "cli_report.h"

#include <functional>

class DeviceLibrary;
struct CliRequest;

// Runs one request on the device library: connects to the register, does the command, lets the
// port go. `progress` hears of long work (the goods) as done and total counts.
CliReport runCliRequest(const CliRequest& request, const DeviceLibrary& device,
                        const std::function<void(int, int)>& progress = {});
