#include "register_identity.h"

#include "cp1251.h"
#include "register_link.h"

PortList listPorts(RegisterLink& link) {
    PortList ports;
    // The index is one byte wide, so a library that never says "no more" still ends the list.
    for (int index = 0; index <= 255; ++index) {
        const char* name = nullptr;
        ports.result = link.api.GetPortName(uint8_t(index), &name);
        if (ports.result != 0)
            break;
        ports.names << fromDeviceText(name);
    }
    return ports;
}

std::optional<RegisterIdentity> identifyRegister(RegisterLink& link) {
    uint8_t software = 0, unused = 0, protocol = 0, locale = 0;
    const char* model = nullptr;
    link.lastResult = link.api.GetDeviceType(link.kkmAddr, link.pcAddr, &software, &unused, &protocol, &locale, &model);
    if (link.lastResult < 0)
        return std::nullopt;
    RegisterIdentity identity;
    identity.model = fromDeviceText(model).trimmed();
    identity.version = QString::number(software & 0x0F);
    identity.protocol = QStringLiteral("%1.%2").arg(protocol >> 4).arg(protocol & 0x0F);
    identity.language = locale >> 4 == 1 ? QStringLiteral("Русский") : QStringLiteral("Недоступно");
    identity.encoding = (locale & 0x0F) == 0 ? QStringLiteral("WIN1251") : QStringLiteral("Недоступно");
    const char* serial = nullptr;
    link.lastResult = link.api.GetWorksNum(link.kkmAddr, link.pcAddr, &serial);
    if (link.lastResult < 0)
        return std::nullopt;
    identity.serialNumber = fromDeviceText(serial);
    return identity;
}
