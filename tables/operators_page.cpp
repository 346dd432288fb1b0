#include "operators_page.h"

#include "conversions.h"
#include "error_reporter.h"
#include "operators_row.h"
#include "row_text.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace {

RegisterGrid::Layout gridLayout() {
    RegisterGrid::Layout layout;
    layout.columnCaptions = {QStringLiteral("Операторы"), QStringLiteral("Реквизиты"), QStringLiteral("Права доступа")};
    for (int row = 1; row <= OperatorsRow::rowCount; ++row)
        layout.rowCaptions << QStringLiteral("Оператор %1").arg(row);
    layout.columnWidths = {120, 200, 120};
    layout.rowHeight = 70;
    layout.editableColumns = {OperatorsRow::DetailsColumn};
    return layout;
}

// Five items fill the 70-pixel row without a scroll bar.
QListWidget* rightsList(int row, QWidget* parent) {
    static const QStringList items{QStringLiteral("s  (продажа)"), QStringLiteral("r  (возврат)"),
                                   QStringLiteral("x  (x-отчеты)"), QStringLiteral("z  (z-отчеты)"),
                                   QStringLiteral("p  (программ)")};
    auto* list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("OperatorRights%1").arg(row));
    QFont font = list->font();
    font.setPixelSize(11);
    list->setFont(font);
    list->setSpacing(0);
    list->setUniformItemSizes(true);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, 13));
    }
    return list;
}

} // namespace

OperatorsPage::OperatorsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : GridPage(QStringLiteral("Operators"), gridLayout(), errors, QStringLiteral("Tfm_Main.OperatorsSetEditText"),
               OperatorsRow::filterCell, false, parent)
    , m_rows(link, errors, OperatorsRow::table, OperatorsRow::size, OperatorsRow::enough) {
    for (int row = 1; row <= OperatorsRow::rowCount; ++row) {
        QListWidget* list = rightsList(row, &grid());
        m_rights[size_t(row - 1)] = list;
        grid().placeOverCell(OperatorsRow::RightsColumn, row, list);
        // Only the user's clicks: the program's ticks are set with the list's signals blocked.
        connect(list, &QListWidget::itemChanged, this, [this, row] { CheckListBoxClickCheck(row); });
    }
    connect(&grid(), &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == OperatorsRow::RightsColumn)
            showRights(item->row() + 1);
    });
}

void OperatorsPage::OperatorsRowRead(int row) {
    m_rows.read(QStringLiteral("Tfm_Main.OperatorsRowRead"), uint16_t(row), [&](const QByteArray& bytes) {
        grid().setCell(OperatorsRow::DetailsColumn, row, RowText::whole(bytes, 0, OperatorsRow::detailsLength));
        grid().setCell(OperatorsRow::RightsColumn, row, QString::number(uint8_t(bytes[OperatorsRow::maskByte])));
    });
}

void OperatorsPage::OperatorsRowWrite(int row) {
    m_rows.update(QStringLiteral("Tfm_Main.OperatorsRowWrite"), uint16_t(row), [&](QByteArray& bytes) {
        const uint8_t mask = uint8_t(strToInt(grid().cell(OperatorsRow::RightsColumn, row)));
        bytes.replace(0, OperatorsRow::detailsLength,
                      RowText::encode(grid().cell(OperatorsRow::DetailsColumn, row), OperatorsRow::detailsLength));
        bytes[OperatorsRow::maskByte] = char(mask);
    });
}

QString OperatorsPage::writeRefusal(int first, int last) const {
    QStringList empty;
    for (int row = first; row <= last; ++row) {
        if (grid().cell(OperatorsRow::RightsColumn, row).trimmed().isEmpty())
            empty << QString::number(row);
    }
    if (empty.isEmpty())
        return {};
    return QStringLiteral("Не заданы права доступа операторов: %1. Прочитайте таблицу из ККМ или отметьте права.")
        .arg(empty.join(QStringLiteral(", ")));
}

void OperatorsPage::CheckListBoxClickCheck(int row) {
    m_errors.guard(QStringLiteral("Tfm_Main.CheckListBoxClickCheck"), [&] {
        const QListWidget* list = m_rights[size_t(row - 1)];
        int mask = 0;
        for (int i = 0; i < OperatorsRow::rightsCount; ++i) {
            if (list->item(i)->checkState() == Qt::Checked)
                mask |= 1 << i;
        }
        grid().setCell(OperatorsRow::RightsColumn, row, QString::number(mask));
        grid().setCurrentRecord(row);
    });
}

void OperatorsPage::showRights(int row) {
    bool number = false;
    const int mask = grid().cell(OperatorsRow::RightsColumn, row).trimmed().toInt(&number);
    // A mask that is not a number (possible from a settings file) leaves the ticks as they are.
    if (!number)
        return;
    QListWidget* list = m_rights[size_t(row - 1)];
    const QSignalBlocker programTicks(list);
    for (int i = 0; i < OperatorsRow::rightsCount; ++i)
        list->item(i)->setCheckState(mask & (1 << i) ? Qt::Checked : Qt::Unchecked);
    list->viewport()->update();
}
