#include "sections_page.h"

#include "conversions.h"
#include "error_reporter.h"
#include "row_text.h"
#include "sections_row.h"

#include <QComboBox>

namespace {

RegisterGrid::Layout gridLayout() {
    RegisterGrid::Layout layout;
    layout.columnCaptions = {QStringLiteral("Отделы"), QStringLiteral("Наименование"), QStringLiteral("Код налога"),
                             QStringLiteral("Разрядность"), QStringLiteral("Сфера применен.")};
    for (int row = 1; row <= SectionsRow::rowCount; ++row)
        layout.rowCaptions << QStringLiteral("Отдел %1").arg(row);
    layout.columnWidths = {100, 140, 90, 100, 120};
    layout.editableColumns = {SectionsRow::NameColumn, SectionsRow::TaxColumn, SectionsRow::DigitsColumn};
    return layout;
}

// An empty cell counts as 0; any other text is converted, and reported when it is no number.
int cellNumber(const QString& text) {
    return text.trimmed().isEmpty() ? 0 : strToInt(text);
}

} // namespace

SectionsPage::SectionsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : GridPage(QStringLiteral("SectionsSettings"), gridLayout(), errors,
               QStringLiteral("Tfm_Main.SectionsSettingsKeyUp"), SectionsRow::filterCell, true, parent)
    , m_rows(link, errors, SectionsRow::table, SectionsRow::size) {
    for (int row = 1; row <= SectionsRow::rowCount; ++row) {
        auto* list = new QComboBox(&grid());
        list->setObjectName(QStringLiteral("SectionSfer%1").arg(row));
        list->addItems({QStringLiteral("Торговля"), QStringLiteral("Услуги")});
        m_uses[size_t(row - 1)] = list;
        grid().placeOverCell(SectionsRow::UseColumn, row, list);
        // Activated is the user's choice only; the program's choices do not write the cell.
        connect(list, &QComboBox::activated, this, [this, row] { cb_SectionsInvisChange(row); });
        grid().setCell(SectionsRow::UseColumn, row, QStringLiteral("0"));
    }
    connect(&grid(), &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == SectionsRow::UseColumn)
            showUse(item->row() + 1);
    });
}

void SectionsPage::SectionSettingsRowRead(int row) {
    if (row < 1)
        return;
    m_rows.read(QStringLiteral("Tfm_Main.SectionSettingsRowRead"), uint16_t(row), [&](const QByteArray& bytes) {
        grid().setCell(SectionsRow::NameColumn, row, RowText::whole(bytes, 0, SectionsRow::nameLength));
        grid().setCell(SectionsRow::TaxColumn, row, QString::number(uint8_t(bytes[11])));
        grid().setCell(SectionsRow::DigitsColumn, row, QString::number(uint8_t(bytes[12])));
        grid().setCell(SectionsRow::UseColumn, row, SectionsRow::useText(uint8_t(bytes[13])));
    });
}

void SectionsPage::SectionSettingsRowWrite(int row) {
    m_rows.write(QStringLiteral("Tfm_Main.SectionSettingsRowWrite"), uint16_t(row), [&] {
        QByteArray bytes = RowText::encode(grid().cell(SectionsRow::NameColumn, row), SectionsRow::nameLength);
        bytes += char(uint8_t(cellNumber(grid().cell(SectionsRow::TaxColumn, row))));
        bytes += char(uint8_t(cellNumber(grid().cell(SectionsRow::DigitsColumn, row))));
        bytes += char(uint8_t(strToInt(grid().cell(SectionsRow::UseColumn, row))));
        return bytes;
    });
}

void SectionsPage::cb_SectionsInvisChange(int row) {
    m_errors.guard(QStringLiteral("Tfm_Main.cb_SectionsInvisChange"), [&] {
        grid().setCell(SectionsRow::UseColumn, row, QString::number(m_uses[size_t(row - 1)]->currentIndex()));
        grid().setCurrentRecord(row);
    });
}

void SectionsPage::showUse(int row) {
    m_errors.guard(QStringLiteral("Tfm_Main.SectionsSettingsDrawCell"), [&] {
        if (grid().cell(SectionsRow::UseColumn, row).isEmpty())
            grid().setCell(SectionsRow::UseColumn, row, QStringLiteral("0"));
        else
            m_uses[size_t(row - 1)]->setCurrentIndex(strToInt(grid().cell(SectionsRow::UseColumn, row)));
    });
}
