/* The contract between the configurator and a register's device library.
   Texts are zero-terminated Windows-1251 bytes. A text or reply array handed
   out by the library stays valid until the next call into the library.
   A size argument is the index of the buffer's last byte (12 bytes -> 11).
   A result below 0 is an error code for GetErrString; -5 means the register
   stopped answering. A reply array of a result r >= 0 holds r + 5 bytes. */
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define ORVEL_CALL __stdcall
#if defined(ORVEL_BUILDING)
#define ORVEL_API __declspec(dllexport)
#else
#define ORVEL_API __declspec(dllimport)
#endif
#else
#define ORVEL_CALL
#define ORVEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* 0: the port exists and *name holds its name; any other result: no such port. */
ORVEL_API int32_t ORVEL_CALL GetPortName(uint8_t index, const char** name);
ORVEL_API int32_t ORVEL_CALL SetPort(const char* portName, int32_t baud);
ORVEL_API int32_t ORVEL_CALL ClosePort(void);
ORVEL_API const char* ORVEL_CALL GetErrString(int32_t code);
ORVEL_API int32_t ORVEL_CALL GetDeviceType(uint8_t kkmAddr, uint8_t pcAddr, uint8_t* b1, uint8_t* b2, uint8_t* b3,
                                           uint8_t* b4, const char** model);
ORVEL_API int32_t ORVEL_CALL GetWorksNum(uint8_t kkmAddr, uint8_t pcAddr, const char** serial);
ORVEL_API int32_t ORVEL_CALL GetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row, uint8_t* buf,
                                         int32_t lastIndex);
ORVEL_API int32_t ORVEL_CALL SetRowValue(uint8_t kkmAddr, uint8_t pcAddr, uint8_t table, uint16_t row,
                                         const uint8_t* buf, int32_t lastIndex);
ORVEL_API int32_t ORVEL_CALL GetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char** name,
                                    const char** barcode, const char** section, const char** price,
                                    const char** fractional, const char** sales, const char** returns);
ORVEL_API int32_t ORVEL_CALL SetPLU(uint8_t kkmAddr, uint8_t pcAddr, uint16_t number, const char* name,
                                    const char* barcode, const char* section, const char* price, const char* fractional,
                                    const char* sales, const char* returns);
/* kind 0: header record (bytes per row, row count); kind 1: a dot row (row number, dots). */
ORVEL_API int32_t ORVEL_CALL WriteLogo(uint8_t kkmAddr, uint8_t pcAddr, int32_t kind, const uint8_t* buf,
                                       int32_t lastIndex);
ORVEL_API int32_t ORVEL_CALL GetJRecordsCount(uint8_t kkmAddr, uint8_t pcAddr, int32_t* count, const uint8_t** reply);
ORVEL_API int32_t ORVEL_CALL GetJRecord(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value,
                                        const uint8_t** reply);
ORVEL_API int32_t ORVEL_CALL GetJRecordNext(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply);
ORVEL_API int32_t ORVEL_CALL NEmptyFind(uint8_t kkmAddr, uint8_t pcAddr, int32_t* value, const uint8_t** reply);
ORVEL_API int32_t ORVEL_CALL GetGoodsRest(uint8_t kkmAddr, uint8_t pcAddr, int32_t number, int32_t* value,
                                          const uint8_t** reply);

/* Optional, not one of the sixteen: a library that can be told to give up may export it. Called
   from another thread while a call waits, it makes that call end at once with -5 and returns 0;
   with no call waiting it does nothing and returns 1. */
ORVEL_API int32_t ORVEL_CALL OrvelAbortCall(void);

#ifdef __cplusplus
}
#endif
