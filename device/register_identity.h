#pragma once

#include <optional>
#include <QString>

class RegisterLink;

// What the register says of itself: the main page's details.
struct RegisterIdentity {
    QString model;
    QString version;
    QString protocol;
    QString language;
    QString encoding;
    QString serialNumber;
};

// Asks the connected register for its type and then its serial number; empty when either call
// fails (the link's last result says why).
std::optional<RegisterIdentity> identifyRegister(RegisterLink& link);
