#include "discount_page.h"

#include "conversions.h"
#include "discount_row.h"
#include "percent_text.h"
#include "ui_discount_page.h"

#include <QLocale>

namespace {

QChar decimalPoint() {
    return QLocale().decimalPoint().at(0);
}

} // namespace

DiscountPage::DiscountPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::DiscountPage>())
    , m_rows(link, errors, DiscountRow::table, DiscountRow::size) {
    m_ui->setupUi(this);
}

DiscountPage::~DiscountPage() = default;

int DiscountPage::rowCount() const {
    return DiscountRow::rowCount;
}

QLineEdit* DiscountPage::valueEdit(int row) const {
    return row == 1 ? m_ui->ed_DiscountValue : m_ui->ed_MarkUpsValue;
}

QComboBox* DiscountPage::permissionList(int row) const {
    return row == 1 ? m_ui->cb_DiscountPermit : m_ui->cb_MarkUpsPermit;
}

void DiscountPage::DiscExtraRowRead(int row) {
    m_rows.read(QStringLiteral("Tfm_Main.DiscExtraRowRead"), uint16_t(row), [&](const QByteArray& bytes) {
        valueEdit(row)->setText(percentText(uint8_t(bytes[0]), uint8_t(bytes[1]), decimalPoint()));
        permissionList(row)->setCurrentIndex(DiscountRow::permissionItem(uint8_t(bytes[2])));
    });
}

void DiscountPage::DiscExtraRowWrite(int row) {
    m_rows.write(QStringLiteral("Tfm_Main.DiscExtraRowWrite"), uint16_t(row), [&] {
        const QChar point = decimalPoint();
        const QString text = valueEdit(row)->text().trimmed();
        // A text that is no number at all is reported with the conversion's own message.
        if (!text.isEmpty())
            strToFloat(text);
        const auto percent = checkedPercentBytes(text, point);
        const QByteArray bytes{reinterpret_cast<const char*>(percent.data()), 2};
        return bytes + char(uint8_t(permissionList(row)->currentIndex()));
    });
}
