#pragma once

#include <functional>

// How a page takes part in the toolbar's table transfers. Each row operation
// leaves the result of its last device call as the link's last result and
// reports its own unexpected failures.
class TablePage {
public:
    virtual ~TablePage() = default;

    // The arguments 1 .. rowCount() of a whole-table transfer (field numbers on
    // single-row tables). Pages on the goods range ignore it.
    virtual int rowCount() const = 0;
    // Goods: the transfer runs over the toolbar's goods range and ends early
    // when the user presses "Прервать".
    virtual bool usesGoodsRange() const { return false; }
    virtual void readRow(int row) = 0;
    virtual void writeRow(int row) = 0;
    // The row a single-row command works on; 0 on pages that have no rows to pick.
    virtual int currentRow() const { return 0; }
    // A table that goes out in one operation (the logo) answers its number of
    // progress steps and is written by writeWhole, which calls `step` for each;
    // 0 for tables written row by row.
    virtual int wholeWriteSteps() const { return 0; }
    virtual void writeWhole(const std::function<void()>& step) { static_cast<void>(step); }
};
