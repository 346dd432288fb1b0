#pragma once

#include "grid_page.h"
#include "row_io.h"

class RegisterLink;

// The register's four taxes, rows 1-4 of table 6: a name and a rate each.
class TaxesPage : public GridPage {
    Q_OBJECT

public:
    TaxesPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);

    void readRow(int row) override { TaxesRowRead(row); }
    void writeRow(int row) override { TaxesRowWrite(row); }

    void TaxesRowRead(int row);
    // Builds the row from the grid alone. A rate the register cannot hold
    // (negative, not a number, above 99.99) is refused and reported.
    void TaxesRowWrite(int row);

private:
    RowIo m_rows;
};
