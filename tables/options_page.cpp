#include "options_page.h"

#include "conversions.h"
#include "options_row.h"
#include "ui_options_page.h"

namespace {

QList<QCheckBox*> flagBoxes(const Ui::OptionsPage& ui) {
    return {ui.cb_CodeSell,   ui.cb_FreePrice,    ui.cb_DecimalControl, ui.cb_MoneyBox,
            ui.cb_Incasation, ui.cb_ModePassword, ui.cb_ZeroPassword};
}

} // namespace

OptionsPage::OptionsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::OptionsPage>())
    , m_rows(link, errors, OptionsRow::table, OptionsRow::size) {
    m_ui->setupUi(this);
    m_ui->dtp_NextTO->setDateRange(OptionsRow::firstServiceDate, OptionsRow::lastServiceDate);
}

OptionsPage::~OptionsPage() = default;

int OptionsPage::rowCount() const {
    return OptionsRow::fieldCount;
}

void OptionsPage::KKMSettingsRowRead(int field) {
    m_rows.read(QStringLiteral("Tfm_Main.KKMSettingsRowRead"), OptionsRow::row,
                [&](const QByteArray& row) { showField(field, row); });
}

void OptionsPage::KKMSettingsRowWrite(int field) {
    m_rows.update(QStringLiteral("Tfm_Main.KKMSettingsRowWrite"), OptionsRow::row,
                  [&](QByteArray& row) { putField(field, row); });
}

void OptionsPage::showField(int field, const QByteArray& row) {
    const auto byte = [&row](int index) { return uint8_t(row[index]); };
    if (field >= 1 && field <= 7) {
        flagBoxes(*m_ui)[field - 1]->setChecked(byte(field - 1) != 0);
    } else if (field == OptionsRow::backlightField) {
        m_ui->cb_LightDuration->setCurrentIndex(OptionsRow::backlightItem(byte(field - 1)));
    } else if (field == OptionsRow::dateIntervalField) {
        m_ui->ed_DateInterval->setText(QString::number(OptionsRow::dateInterval(byte(field - 1))));
    } else if (field == OptionsRow::serviceDateField) {
        const int first = OptionsRow::serviceDateByte;
        const auto date = OptionsRow::decodeServiceDate(byte(first), byte(first + 1), byte(first + 2));
        m_ui->dtp_NextTO->setDate(date.value_or(QDate::currentDate()));
    }
}

void OptionsPage::putField(int field, QByteArray& row) {
    if (field >= 1 && field <= 7) {
        row[field - 1] = flagBoxes(*m_ui)[field - 1]->isChecked() ? 1 : 0;
    } else if (field == OptionsRow::backlightField) {
        // No item chosen gives 255, which reads back as the first item.
        row[field - 1] = char(uint8_t(m_ui->cb_LightDuration->currentIndex()));
    } else if (field == OptionsRow::dateIntervalField) {
        QLineEdit* edit = m_ui->ed_DateInterval;
        if (edit->text().trimmed().isEmpty())
            edit->setText(QStringLiteral("0"));
        if (strToInt(edit->text()) > 31)
            edit->setText(QStringLiteral("31"));
        // A negative interval would go out as its low byte (-5 as 251): it is clamped like the top.
        if (strToInt(edit->text()) < 0)
            edit->setText(QStringLiteral("0"));
        row[field - 1] = char(uint8_t(strToInt(edit->text().trimmed())));
    } else if (field == OptionsRow::serviceDateField) {
        const auto bytes = OptionsRow::encodeServiceDate(m_ui->dtp_NextTO->date());
        for (int i = 0; i < 3; ++i)
            row[OptionsRow::serviceDateByte + i] = char(bytes[size_t(i)]);
    }
}
