#pragma once

#include "goods_record.h"
#include "logo.h"
#include "register_tables.h"

#include <vector>

namespace orvel {

// Everything the register keeps between runs.
struct RegisterState {
    RegisterTables tables;
    std::vector<GoodsRecord> goods = std::vector<GoodsRecord>(kGoodsCount); // record N at N - 1
    Logo logo;

    bool operator==(const RegisterState&) const = default;
};

} // namespace orvel
