#pragma once

#include <cstdint>

// What the tags of the framing mean, shared by both ends of the bridge.
namespace bridge {

// The sixteen functions in orvel.h's order; Hello is the bridge's greeting once the DLL is bound.
enum class Function : uint8_t {
    Hello = 0,
    GetPortName,
    SetPort,
    ClosePort,
    GetErrString,
    GetDeviceType,
    GetWorksNum,
    GetRowValue,
    SetRowValue,
    GetPLU,
    SetPLU,
    WriteLogo,
    GetJRecordsCount,
    GetJRecord,
    GetJRecordNext,
    NEmptyFind,
    GetGoodsRest,
};

// The greeting's first number; the second is Windows' error code, the string lists what is missing.
enum HelloStatus : int32_t {
    Ready = 0,
    LibraryNotLoaded = 1,
    FunctionsMissing = 2,
};

// A reply array or a row buffer longer than this is cut: the program refuses replies far shorter.
constexpr int32_t kMaxBuffer = 65536;

} // namespace bridge
