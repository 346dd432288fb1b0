#pragma once

#include <cstdint>
#include <optional>
#include <QString>
#include <QStringList>

class RegisterLink;

// What the device library and the register say of themselves: the ports, and the main page's details.
struct RegisterIdentity {
    QString model;
    QString version;
    QString protocol;
    QString language;
    QString encoding;
    QString serialNumber;
};

// The library's port names, in its order, and the result that ended the list (0 after the last
// possible index; negative when the library failed).
struct PortList {
    QStringList names;
    int32_t result = 0;
};
PortList listPorts(RegisterLink& link);

// Asks the connected register for its type and then its serial number; empty when either call
// fails (the link's last result says why).
std::optional<RegisterIdentity> identifyRegister(RegisterLink& link);
