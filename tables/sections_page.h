#pragma once

#include "grid_page.h"
#include "row_io.h"

#include <array>

class QComboBox;
class RegisterLink;

// The register's sixteen sales sections, rows 1-16 of table 7: name, tax
// code, "Разрядность" and the field of use, chosen in a list over its cell.
class SectionsPage : public GridPage {
    Q_OBJECT

public:
    SectionsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);

    void readRow(int row) override { SectionSettingsRowRead(row); }
    void writeRow(int row) override { SectionSettingsRowWrite(row); }

    void SectionSettingsRowRead(int row);
    // Builds the row from the grid alone.
    void SectionSettingsRowWrite(int row);
    // The user chose a field of use for section `row`: the cell takes it and
    // the section becomes the current row.
    void cb_SectionsInvisChange(int row);

private:
    // The list follows its cell, whoever set it; an empty cell stands for trade.
    void showUse(int row);

    RowIo m_rows;
    std::array<QComboBox*, 16> m_uses{};
};
