#pragma once

#include "error_reporter.h"
#include "fake_device.h"
#include "recording_message_boxes.h"
#include "register_link.h"

// A scripted register with the link, message boxes and error reporter that a page works with.
struct DeviceFixture {
    FakeDevice fake;
    RegisterLink link{FakeDevice::table()};
    RecordingMessageBoxes boxes;
    ErrorReporter errors{boxes};
};
