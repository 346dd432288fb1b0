// A device library that lacks most of the functions, to show how the program
// reports an incomplete library.
#include "orvel.h"

extern "C" {
ORVEL_API int32_t ORVEL_CALL GetPortName(uint8_t, const char**) {
    return 1;
}
ORVEL_API const char* ORVEL_CALL GetErrString(int32_t) {
    return "";
}
}
