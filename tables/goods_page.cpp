#include "goods_page.h"

#include "cp1251.h"
#include "error_reporter.h"
#include "filtered_edit_delegate.h"
#include "goods_filters.h"
#include "goods_model.h"
#include "goods_view.h"
#include "register_link.h"

#include <algorithm>
#include <cstring>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int readAttempts = 3;
// Writing a goods record is given more tries than any other call.
constexpr int writeAttempts = 5;
constexpr int columnWidths[GoodsModel::ColumnCount] = {40, 167, 90, 40, 60, 50, 60, 60};
// The widest text each column can hold; the name column takes the spare width instead.
const QString widestTexts[GoodsModel::ColumnCount] = {QStringLiteral("9999"),          QString(),
                                                      QStringLiteral("0000000000000"), QStringLiteral("16"),
                                                      QStringLiteral("0000000.00"),    QStringLiteral("НЕТ"),
                                                      QStringLiteral("0000000000.00"), QStringLiteral("0000000000.00")};

// The widths are the least; each column is widened once, here, to show its header and its widest
// text with the font in use. Sizing to the contents would measure all 9999 rows on every change.
void fitColumns(GoodsView& view, const GoodsModel& model) {
    QHeaderView* header = view.horizontalHeader();
    const int cellPadding = 2 * view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 6;
    const int headerPadding = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 6;
    for (int column = 0; column < GoodsModel::ColumnCount; ++column) {
        const QString caption = model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        header->resizeSection(
            column, std::max({columnWidths[column], header->fontMetrics().horizontalAdvance(caption) + headerPadding,
                              view.fontMetrics().horizontalAdvance(widestTexts[column]) + cellPadding}));
    }
    view.setStretchColumn(GoodsModel::NameColumn);
}
const QString yes = QStringLiteral("ДА");
const QString no = QStringLiteral("НЕТ");
} // namespace

GoodsPage::GoodsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent)
    , m_link(link)
    , m_errors(errors)
    , m_model(new GoodsModel(this))
    , m_view(new GoodsView(this)) {
    m_view->setModel(m_model);
    fitColumns(*m_view, *m_model);
    m_view->setItemDelegate(
        new FilteredEditDelegate([this](int column, const QString& text,
                                        const QString& previous) { return GoodsSetEditText(column, text, previous); },
                                 m_view));
    m_view->setSelectCell([this](int record, int column) { return GoodsSelectCell(record, column); });
    m_view->setCurrentIndex(m_model->index(0, GoodsModel::NameColumn));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

int GoodsPage::rowCount() const {
    return GoodsModel::recordCount;
}

void GoodsPage::clearRows(int first, int last) {
    m_model->clearRecords(first, last);
}

int GoodsPage::currentRow() const {
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

bool readGoodsRecord(RegisterLink& link, int record, GoodsModel::Fields& fields, bool& fractional) {
    const char* texts[7] = {};
    link.attempt(readAttempts, [&] {
        return link.api.GetPLU(link.kkmAddr, link.pcAddr, uint16_t(record), &texts[0], &texts[1], &texts[2], &texts[3],
                               &texts[4], &texts[5], &texts[6]);
    });
    if (link.lastResult < 0)
        return false;
    fractional = texts[4] && std::strcmp(texts[4], "1") == 0;
    fields = {fromDeviceText(texts[0]), fromDeviceText(texts[1]), fromDeviceText(texts[2]), fromDeviceText(texts[3]),
              fractional ? yes : no,    fromDeviceText(texts[5]), fromDeviceText(texts[6])};
    return true;
}

void GoodsPage::GoodsRowRead(int record) {
    m_errors.guard(QStringLiteral("Tfm_Main.GoodsRowRead"), [&] {
        QCoreApplication::processEvents();
        GoodsModel::Fields fields;
        bool fractional = false;
        if (readGoodsRecord(m_link, record, fields, fractional))
            m_model->setRecord(record, fields, fractional);
    });
}

void writeGoodsRecord(RegisterLink& link, int record, const GoodsModel::Fields& fields, bool fractional) {
    QString price = fields[GoodsModel::PriceColumn - 1];
    if (!price.contains(QLatin1Char('.')))
        price += QStringLiteral(".00");
    const QByteArray name = toCp1251(fields[GoodsModel::NameColumn - 1]);
    const QByteArray barcode = toCp1251(fields[GoodsModel::BarcodeColumn - 1]);
    const QByteArray section = toCp1251(fields[GoodsModel::SectionColumn - 1]);
    const QByteArray priceText = toCp1251(price);
    // The flag, not the cell, says whether the goods are sold by fractions; sales and returns are
    // the register's own counters and are never sent.
    const char* fractionalText = fractional ? "1" : "0";
    link.attempt(writeAttempts, [&] {
        return link.api.SetPLU(link.kkmAddr, link.pcAddr, uint16_t(record), name.constData(), barcode.constData(),
                               section.constData(), priceText.constData(), fractionalText, "0.00", "0.00");
    });
}

void GoodsPage::GoodsRowWrite(int record) {
    m_errors.guard(QStringLiteral("Tfm_Main.GoodsRowWrite"), [&] {
        QCoreApplication::processEvents();
        // The grid shows the price as it goes out.
        const QString price = m_model->cell(record, GoodsModel::PriceColumn);
        if (!price.contains(QLatin1Char('.')))
            m_model->setCell(record, GoodsModel::PriceColumn, price + QStringLiteral(".00"));
        writeGoodsRecord(m_link, record, m_model->record(record), m_model->fractional(record));
    });
}

bool GoodsPage::GoodsSelectCell(int record, int column) {
    bool canSelect = true;
    m_errors.guard(QStringLiteral("Tfm_Main.GoodsSelectCell"), [&] {
        if (column == GoodsModel::FractionalColumn) {
            canSelect = false;
            const bool on = m_model->cell(record, column).trimmed().isEmpty() || !m_model->fractional(record);
            m_model->setFractional(record, on);
            m_model->setCell(record, column, on ? yes : no);
        } else if (column == GoodsModel::SalesColumn || column == GoodsModel::ReturnsColumn) {
            canSelect = false;
        }
    });
    return canSelect;
}

QString GoodsPage::GoodsSetEditText(int column, const QString& text, const QString& previous) {
    QString kept = text;
    m_errors.guard(QStringLiteral("Tfm_Main.GoodsSetEditText"),
                   [&] { kept = filterGoodsCell(column, text, previous); });
    return kept;
}

void GoodsPage::ed_GoodsStartChange(QLineEdit* edit) {
    m_errors.guard(QStringLiteral("Tfm_Main.ed_GoodsStartChange"), [&] {
        const QString kept = filterGoodsRange(edit->text());
        if (kept != edit->text())
            edit->setText(kept);
    });
}
