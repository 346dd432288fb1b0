#pragma once

#include <functional>
#include <QString>

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
    // Why rows `first` .. `last` cannot be written as they stand (a user's omission, said in a
    // sentence); empty when they can.
    virtual QString writeRefusal(int first, int last) const {
        static_cast<void>(first);
        static_cast<void>(last);
        return {};
    }
    // Asked once before a table write, after writeRefusal: false when the user would rather not
    // (the page has asked); nothing is then sent.
    virtual bool confirmWrite() { return true; }
    // Rows a stopped read did not reach: they must not keep an earlier content that would pass
    // for the register's.
    virtual void clearRows(int first, int last) {
        static_cast<void>(first);
        static_cast<void>(last);
    }
};
