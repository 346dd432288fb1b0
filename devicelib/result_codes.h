#pragma once

#include <cstdint>

namespace orvel {

// Every fault has a code of its own, so that its text tells the user exactly what was refused.
// -5 keeps the meaning the program gives it: the register stopped answering.
enum Result : int32_t {
    Ok = 0,
    PortNotOpen = -1,
    NoSuchPort = -2,
    BadBaudRate = -3,
    NullPointer = -4,
    NoAnswer = -5,
    NoSuchTable = -6,
    NoSuchRow = -7,
    RowSizeMismatch = -8,
    GoodsNumberOutOfRange = -9,
    GoodsNameTooLong = -10,
    BadBarcode = -11,
    BadSection = -12,
    BadPrice = -13,
    BadFractionalFlag = -14,
    BadSales = -15,
    BadReturns = -16,
    UnknownLogoKind = -17,
    BadLogoHeader = -18,
    LogoRowBeforeHeader = -19,
    LogoRowLengthMismatch = -20,
    LogoRowNumberOutOfRange = -21,
    NoSuchJournalRecord = -22,
    JournalEnd = -23,
    NoMoreOccupiedGoods = -24,
    StateNotSaved = -25,
    BadContrast = -26,
    BadStretchMode = -27,
    BadPercent = -28,
    BadPermission = -29,
    BadSpeedIndex = -30,
    BadScalesSetting = -31,
    BadTaxCode = -32,
    BadDigits = -33,
    BadFieldOfUse = -34,
    OperatorServiceBytesChanged = -35,
    // Only the rehearsal port with faults answers these.
    GarbledAnswer = -36,
    WriteRefused = -37,
    // Another program has the emulated register's port open, and its state with it.
    PortBusy = -38,
};

} // namespace orvel
