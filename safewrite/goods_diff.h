#pragma once

#include "goods_model.h"

#include <QList>
#include <QString>

// Goods records compared as a write sends them: name, barcode, section, price and the fractional
// flag. Sales and returns are the register's own counters and never go out.
namespace GoodsDiff {

struct Difference {
    int record = 0;
    int column = 0; // a GoodsModel column
    QString before; // the register's
    QString after;  // the page's
};

struct Record {
    GoodsModel::Fields fields;
    bool fractional = false;
};

QList<Difference> differences(int record, const Record& held, const Record& page);

} // namespace GoodsDiff
