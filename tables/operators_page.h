#pragma once

#include "grid_page.h"
#include "row_io.h"

#include <array>

class QListWidget;
class RegisterLink;

// The register's eight operators, rows 1-8 of table 9: a details text and
// the access rights, edited in a check list over each operator's mask cell.
class OperatorsPage : public GridPage {
    Q_OBJECT

public:
    OperatorsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);

    void readRow(int row) override { OperatorsRowRead(row); }
    void writeRow(int row) override { OperatorsRowWrite(row); }
    // Operators without rights (an empty cell: the table was never read) are not written.
    QString writeRefusal(int first, int last) const override;

    void OperatorsRowRead(int row);
    // Reads the row first: the three bytes the page does not show go back as read.
    void OperatorsRowWrite(int row);
    // The user ticked or unticked a right of operator `row`: the mask cell is
    // rebuilt from the five items and the operator becomes the current row.
    void CheckListBoxClickCheck(int row);

private:
    // The ticks follow the mask cell, whoever set it.
    void showRights(int row);

    RowIo m_rows;
    std::array<QListWidget*, 8> m_rights{};
};
