#include "fake_device.h"

#include <cassert>
#include <cstring>

namespace {

FakeDevice* live = nullptr;

int32_t ORVEL_CALL fakeGetPortName(uint8_t index, const char** name) {
    FakeDevice& d = FakeDevice::current();
    d.record("GetPortName", {index});
    if (index >= d.ports.size())
        return d.results.value(QStringLiteral("GetPortName"), 1);
    *name = d.ports[index].constData();
    return 0;
}
int32_t ORVEL_CALL fakeSetPort(const char* port, int32_t baud) {
    return FakeDevice::current().record("SetPort", {baud}, QByteArray(port));
}
int32_t ORVEL_CALL fakeClosePort() {
    return FakeDevice::current().record("ClosePort");
}
const char* ORVEL_CALL fakeGetErrString(int32_t code) {
    FakeDevice& d = FakeDevice::current();
    d.record("GetErrString", {code});
    const auto found = d.errorTexts.constFind(code);
    return found == d.errorTexts.constEnd() ? "" : found->constData();
}
int32_t ORVEL_CALL fakeGetDeviceType(uint8_t kkm, uint8_t pc, uint8_t* b1, uint8_t* b2, uint8_t* b3, uint8_t* b4,
                                     const char** model) {
    FakeDevice& d = FakeDevice::current();
    const int32_t result = d.record("GetDeviceType", {kkm, pc});
    if (result >= 0) {
        *b1 = d.deviceBytes[0];
        *b2 = d.deviceBytes[1];
        *b3 = d.deviceBytes[2];
        *b4 = d.deviceBytes[3];
        *model = d.model.constData();
    }
    return result;
}
int32_t ORVEL_CALL fakeGetWorksNum(uint8_t kkm, uint8_t pc, const char** serial) {
    FakeDevice& d = FakeDevice::current();
    const int32_t result = d.record("GetWorksNum", {kkm, pc});
    if (result >= 0)
        *serial = d.serial.constData();
    return result;
}
int32_t ORVEL_CALL fakeGetRowValue(uint8_t kkm, uint8_t pc, uint8_t table, uint16_t row, uint8_t* buf, int32_t last) {
    FakeDevice& d = FakeDevice::current();
    const int32_t result = d.record("GetRowValue", {kkm, pc, table, row, last});
    const QByteArray stored = d.rows.value({table, row});
    if (result >= 0 && stored.size() == last + 1)
        std::memcpy(buf, stored.constData(), size_t(stored.size()));
    return result;
}
int32_t ORVEL_CALL fakeSetRowValue(uint8_t kkm, uint8_t pc, uint8_t table, uint16_t row, const uint8_t* buf,
                                   int32_t last) {
    FakeDevice& d = FakeDevice::current();
    const QByteArray sent(reinterpret_cast<const char*>(buf), last + 1);
    const int32_t result = d.record("SetRowValue", {kkm, pc, table, row, last}, sent);
    if (result >= 0)
        d.rows[{table, row}] = sent;
    return result;
}
int32_t ORVEL_CALL fakeGetPLU(uint8_t kkm, uint8_t pc, uint16_t number, const char** name, const char** barcode,
                              const char** section, const char** price, const char** fractional, const char** sales,
                              const char** returns) {
    FakeDevice& d = FakeDevice::current();
    const int32_t result = d.record("GetPLU", {kkm, pc, number});
    const QByteArrayList& texts = d.goods[number];
    const char** out[] = {name, barcode, section, price, fractional, sales, returns};
    if (result >= 0 && texts.size() == 7) {
        for (int i = 0; i < 7; ++i)
            *out[i] = texts[i].constData();
    }
    return result;
}
int32_t ORVEL_CALL fakeSetPLU(uint8_t kkm, uint8_t pc, uint16_t number, const char* name, const char* barcode,
                              const char* section, const char* price, const char* fractional, const char* sales,
                              const char* returns) {
    FakeDevice& d = FakeDevice::current();
    const QByteArrayList texts{name, barcode, section, price, fractional, sales, returns};
    const int32_t result = d.record("SetPLU", {kkm, pc, number}, texts.join('|'));
    if (result >= 0)
        d.goods[number] = texts;
    return result;
}
int32_t ORVEL_CALL fakeWriteLogo(uint8_t kkm, uint8_t pc, int32_t kind, const uint8_t* buf, int32_t last) {
    return FakeDevice::current().record("WriteLogo", {kkm, pc, kind, last},
                                        QByteArray(reinterpret_cast<const char*>(buf), last + 1));
}
int32_t answerQuery(const char* function, QList<int> args, int32_t* value, const uint8_t** reply) {
    FakeDevice& d = FakeDevice::current();
    const int32_t result = d.record(function, std::move(args));
    if (result < 0)
        return result;
    *value = d.queryValue;
    const auto scripted = d.replies.constFind(QLatin1String(function));
    if (scripted != d.replies.constEnd())
        *reply = reinterpret_cast<const uint8_t*>(scripted->constData());
    return result;
}
int32_t ORVEL_CALL fakeGetJRecordsCount(uint8_t kkm, uint8_t pc, int32_t* count, const uint8_t** reply) {
    return answerQuery("GetJRecordsCount", {kkm, pc}, count, reply);
}
int32_t ORVEL_CALL fakeGetJRecord(uint8_t kkm, uint8_t pc, int32_t number, int32_t* value, const uint8_t** reply) {
    return answerQuery("GetJRecord", {kkm, pc, number}, value, reply);
}
int32_t ORVEL_CALL fakeGetJRecordNext(uint8_t kkm, uint8_t pc, int32_t* value, const uint8_t** reply) {
    return answerQuery("GetJRecordNext", {kkm, pc}, value, reply);
}
int32_t ORVEL_CALL fakeNEmptyFind(uint8_t kkm, uint8_t pc, int32_t* value, const uint8_t** reply) {
    return answerQuery("NEmptyFind", {kkm, pc}, value, reply);
}
int32_t ORVEL_CALL fakeGetGoodsRest(uint8_t kkm, uint8_t pc, int32_t number, int32_t* value, const uint8_t** reply) {
    return answerQuery("GetGoodsRest", {kkm, pc, number}, value, reply);
}

} // namespace

FakeDevice::FakeDevice() {
    assert(!live);
    live = this;
}

FakeDevice::~FakeDevice() {
    live = nullptr;
}

FakeDevice& FakeDevice::current() {
    assert(live);
    return *live;
}

int32_t FakeDevice::record(const char* function, QList<int> args, QByteArray bytes) {
    const QString name = QString::fromLatin1(function);
    calls.append({name, std::move(args), std::move(bytes)});
    if (onCall)
        onCall(calls.last());
    QList<int32_t>& queue = queued[name];
    return queue.isEmpty() ? results.value(name, 0) : queue.takeFirst();
}

QStringList FakeDevice::callNames() const {
    QStringList names;
    for (const Call& call : calls)
        names << call.function;
    return names;
}

QList<FakeDevice::Call> FakeDevice::callsOf(const QString& function) const {
    QList<Call> found;
    for (const Call& call : calls) {
        if (call.function == function)
            found << call;
    }
    return found;
}

DeviceTable FakeDevice::table() {
    return DeviceTable{fakeGetPortName,   fakeSetPort,        fakeClosePort,   fakeGetErrString,
                       fakeGetDeviceType, fakeGetWorksNum,    fakeGetRowValue, fakeSetRowValue,
                       fakeGetPLU,        fakeSetPLU,         fakeWriteLogo,   fakeGetJRecordsCount,
                       fakeGetJRecord,    fakeGetJRecordNext, fakeNEmptyFind,  fakeGetGoodsRest};
}
