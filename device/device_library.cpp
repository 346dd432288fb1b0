#include "device_library.h"

#include "program_files.h"

#include <QDir>

namespace {

#if defined(_WIN32)
constexpr auto libraryFileName = "Orvel.dll";
#else
constexpr auto libraryFileName = "libOrvel.so";
#endif
constexpr auto libraryBareName = "Orvel";

// Windows-1251 for "Библиотека устройства не загружена".
constexpr char notLoadedText[] = "\xC1\xE8\xE1\xEB\xE8\xEE\xF2\xE5\xEA\xE0 \xF3\xF1\xF2\xF0\xEE\xE9\xF1\xF2\xE2\xE0 "
                                 "\xED\xE5 \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED\xE0";

// Stand-ins bound in place of a missing library.
namespace absent {
int32_t ORVEL_CALL GetPortName(uint8_t, const char**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL SetPort(const char*, int32_t) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL ClosePort() {
    return DeviceLibrary::NotLoaded;
}
const char* ORVEL_CALL GetErrString(int32_t) {
    return notLoadedText;
}
int32_t ORVEL_CALL GetDeviceType(uint8_t, uint8_t, uint8_t*, uint8_t*, uint8_t*, uint8_t*, const char**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetWorksNum(uint8_t, uint8_t, const char**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetRowValue(uint8_t, uint8_t, uint8_t, uint16_t, uint8_t*, int32_t) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL SetRowValue(uint8_t, uint8_t, uint8_t, uint16_t, const uint8_t*, int32_t) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetPLU(uint8_t, uint8_t, uint16_t, const char**, const char**, const char**, const char**,
                          const char**, const char**, const char**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL SetPLU(uint8_t, uint8_t, uint16_t, const char*, const char*, const char*, const char*, const char*,
                          const char*, const char*) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL WriteLogo(uint8_t, uint8_t, int32_t, const uint8_t*, int32_t) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetJRecordsCount(uint8_t, uint8_t, int32_t*, const uint8_t**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetJRecord(uint8_t, uint8_t, int32_t, int32_t*, const uint8_t**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetJRecordNext(uint8_t, uint8_t, int32_t*, const uint8_t**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL NEmptyFind(uint8_t, uint8_t, int32_t*, const uint8_t**) {
    return DeviceLibrary::NotLoaded;
}
int32_t ORVEL_CALL GetGoodsRest(uint8_t, uint8_t, int32_t, int32_t*, const uint8_t**) {
    return DeviceLibrary::NotLoaded;
}
} // namespace absent

template <typename Fn> void bindOne(QLibrary& library, Fn& slot, const char* name, QStringList& missing) {
    slot = reinterpret_cast<Fn>(library.resolve(name));
    if (!slot)
        missing << QString::fromLatin1(name);
}

} // namespace

DeviceLibrary::DeviceLibrary(const QString& file)
    : m_library(std::make_unique<QLibrary>(file))
    , m_thread(std::make_unique<DeviceThread>()) {
    if (!m_library->load()) {
        m_error = QStringLiteral("Не удалось загрузить библиотеку устройства %1:\n%2")
                      .arg(QDir::toNativeSeparators(file), m_library->errorString());
        bindUnavailable();
        return;
    }
    QStringList missing;
#define ORVEL_BIND(name) bindOne(*m_library, m_table.name, #name, missing)
    ORVEL_BIND(GetPortName);
    ORVEL_BIND(SetPort);
    ORVEL_BIND(ClosePort);
    ORVEL_BIND(GetErrString);
    ORVEL_BIND(GetDeviceType);
    ORVEL_BIND(GetWorksNum);
    ORVEL_BIND(GetRowValue);
    ORVEL_BIND(SetRowValue);
    ORVEL_BIND(GetPLU);
    ORVEL_BIND(SetPLU);
    ORVEL_BIND(WriteLogo);
    ORVEL_BIND(GetJRecordsCount);
    ORVEL_BIND(GetJRecord);
    ORVEL_BIND(GetJRecordNext);
    ORVEL_BIND(NEmptyFind);
    ORVEL_BIND(GetGoodsRest);
#undef ORVEL_BIND
    if (!missing.isEmpty()) {
        m_error = QStringLiteral("В библиотеке устройства %1 нет функций: %2")
                      .arg(QDir::toNativeSeparators(m_library->fileName()), missing.join(QStringLiteral(", ")));
        bindUnavailable();
        return;
    }
    m_table.OrvelAbortCall = reinterpret_cast<decltype(m_table.OrvelAbortCall)>(m_library->resolve("OrvelAbortCall"));
}

DeviceLibrary::DeviceLibrary(const DeviceTable& table)
    : m_table(table) {}

QString DeviceLibrary::defaultFile(const QString& executableFolder) {
    const QString found =
        findProgramFile(executableFolder, QStringLiteral(KKM_LIBRARY_FOLDER), QString::fromLatin1(libraryFileName));
    return found.isEmpty() ? QString::fromLatin1(libraryBareName) : found;
}

void DeviceLibrary::bindUnavailable() {
    m_table = DeviceTable{absent::GetPortName,   absent::SetPort,        absent::ClosePort,   absent::GetErrString,
                          absent::GetDeviceType, absent::GetWorksNum,    absent::GetRowValue, absent::SetRowValue,
                          absent::GetPLU,        absent::SetPLU,         absent::WriteLogo,   absent::GetJRecordsCount,
                          absent::GetJRecord,    absent::GetJRecordNext, absent::NEmptyFind,  absent::GetGoodsRest};
}
