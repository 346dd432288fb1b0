#include "print_options_page.h"

#include "conversions.h"
#include "print_options_row.h"
#include "ui_print_options_page.h"

namespace {

// The on/off options by field number, from field 2.
QList<QCheckBox*> flagBoxes(const Ui::PrintOptionsPage& ui) {
    return {ui.cb_PoReklama, ui.cb_PoOtdel,      ui.cb_PoGoods,    ui.cb_PoGoodsCode, ui.cb_PoNalog,
            ui.cb_PoFont,    ui.cb_PoSeparators, ui.cb_PoWideItog, ui.cb_PoLogo};
}

} // namespace

PrintOptionsPage::PrintOptionsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::PrintOptionsPage>())
    , m_rows(link, errors, PrintOptionsRow::table, PrintOptionsRow::size) {
    m_ui->setupUi(this);
}

PrintOptionsPage::~PrintOptionsPage() = default;

int PrintOptionsPage::rowCount() const {
    return PrintOptionsRow::fieldCount;
}

void PrintOptionsPage::PRNSettingsRowRead(int field) {
    m_rows.read(QStringLiteral("Tfm_Main.PRNSettingsRowRead"), PrintOptionsRow::row,
                [&](const QByteArray& row) { showField(field, row); });
}

void PrintOptionsPage::PRNSettingsRowWrite(int field) {
    m_rows.update(QStringLiteral("Tfm_Main.PRNSettingsRowWrite"), PrintOptionsRow::row,
                  [&](QByteArray& row) { putField(field, row); });
}

void PrintOptionsPage::showField(int field, const QByteArray& row) {
    if (field == PrintOptionsRow::contrastField)
        m_ui->ed_PoContrast->setText(PrintOptionsRow::contrastText(uint8_t(row[0])));
    else if (field > 1 && field <= PrintOptionsRow::fieldCount)
        flagBoxes(*m_ui)[field - 2]->setChecked(row[field - 1] != 0);
}

void PrintOptionsPage::putField(int field, QByteArray& row) {
    if (field == PrintOptionsRow::contrastField) {
        // The key filter keeps typed values to 1-4; a settings file may bring any number, which goes as it is.
        QLineEdit* edit = m_ui->ed_PoContrast;
        if (edit->text().trimmed().isEmpty())
            edit->setText(QStringLiteral("4"));
        row[0] = char(uint8_t(strToInt(edit->text().trimmed())));
    } else if (field > 1 && field <= PrintOptionsRow::fieldCount) {
        row[field - 1] = flagBoxes(*m_ui)[field - 2]->isChecked() ? 1 : 0;
    }
}
