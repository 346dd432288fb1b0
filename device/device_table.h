#pragma once

#include "orvel.h"

// The sixteen functions of a device library, bound by name, and its optional
// abort hook. Tests fill one with fakes; DeviceLibrary fills one from a library file.
struct DeviceTable {
    decltype(&::GetPortName) GetPortName = nullptr;
    decltype(&::SetPort) SetPort = nullptr;
    decltype(&::ClosePort) ClosePort = nullptr;
    decltype(&::GetErrString) GetErrString = nullptr;
    decltype(&::GetDeviceType) GetDeviceType = nullptr;
    decltype(&::GetWorksNum) GetWorksNum = nullptr;
    decltype(&::GetRowValue) GetRowValue = nullptr;
    decltype(&::SetRowValue) SetRowValue = nullptr;
    decltype(&::GetPLU) GetPLU = nullptr;
    decltype(&::SetPLU) SetPLU = nullptr;
    decltype(&::WriteLogo) WriteLogo = nullptr;
    decltype(&::GetJRecordsCount) GetJRecordsCount = nullptr;
    decltype(&::GetJRecord) GetJRecord = nullptr;
    decltype(&::GetJRecordNext) GetJRecordNext = nullptr;
    decltype(&::NEmptyFind) NEmptyFind = nullptr;
    decltype(&::GetGoodsRest) GetGoodsRest = nullptr;
    // Null when the library has none.
    decltype(&::OrvelAbortCall) OrvelAbortCall = nullptr;
};
