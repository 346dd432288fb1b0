#pragma once

#include "register_state.h"

#include <cstdint>

namespace orvel {

// The register as it leaves the factory: a small shop's settings and a few goods. Texts are
// Windows-1251, numbers packed BCD, and every option and list index within its range.
RegisterState factoryState();

// Stock of goods N in thousandths of a unit, for the goods the factory state fills; 0 otherwise.
int32_t factoryStock(int number);

} // namespace orvel
