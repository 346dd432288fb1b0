#include "taxes_page.h"

#include "percent_text.h"
#include "row_text.h"
#include "taxes_row.h"

namespace {

RegisterGrid::Layout gridLayout() {
    RegisterGrid::Layout layout;
    layout.columnCaptions = {QStringLiteral("Налог"), QStringLiteral("Наименование"), QStringLiteral("Величина")};
    layout.rowCaptions = {QStringLiteral("Налог 1 (А)"), QStringLiteral("Налог 2 (Б)"), QStringLiteral("Налог 3 (В)"),
                          QStringLiteral("Налог 4 (Г)")};
    layout.columnWidths = {100, 100, 100};
    layout.editableColumns = {TaxesRow::NameColumn, TaxesRow::RateColumn};
    return layout;
}

} // namespace

TaxesPage::TaxesPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : GridPage(QStringLiteral("Taxes"), gridLayout(), errors, QStringLiteral("Tfm_Main.TaxesKeyUp"),
               TaxesRow::filterCell, true, parent)
    , m_rows(link, errors, TaxesRow::table, TaxesRow::size) {}

void TaxesPage::TaxesRowRead(int row) {
    m_rows.read(QStringLiteral("Tfm_Main.TaxesRowRead"), uint16_t(row), [&](const QByteArray& bytes) {
        grid().setCell(TaxesRow::NameColumn, row, RowText::whole(bytes, 0, TaxesRow::nameLength));
        grid().setCell(
            TaxesRow::RateColumn, row,
            percentText(uint8_t(bytes[TaxesRow::rateByte]), uint8_t(bytes[TaxesRow::rateByte + 1]), TaxesRow::point));
    });
}

void TaxesPage::TaxesRowWrite(int row) {
    m_rows.write(QStringLiteral("Tfm_Main.TaxesRowWrite"), uint16_t(row), [&] {
        const auto rate = checkedPercentBytes(grid().cell(TaxesRow::RateColumn, row).trimmed(), TaxesRow::point);
        return RowText::encode(grid().cell(TaxesRow::NameColumn, row), TaxesRow::nameLength) + char(rate[0]) +
               char(rate[1]);
    });
}
