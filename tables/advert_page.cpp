#include "advert_page.h"

#include "advert_row.h"
#include "cp1251.h"
#include "error_reporter.h"
#include "row_text.h"
#include "ui_advert_page.h"

#include <QFontDatabase>
#include <QPainter>
#include <QValidator>

namespace {

// The register prints single-byte Windows-1251 text: a character it cannot
// hold is refused as it is typed or pasted, not sent as '?'.
class Cp1251Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return fitsCp1251(input) ? Acceptable : Invalid; }
};

// The register's characters are all one width: a fixed-pitch font shows the line as it will print.
QFont receiptFont() {
    const QString lucida = QStringLiteral("Lucida Console");
    return QFontDatabase::hasFamily(lucida) ? QFont(lucida) : QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// Four lines of different lengths, centred: the picture of the centring buttons.
QIcon centringIcon(const QColor& color) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(color, 1));
    const int halfWidths[] = {7, 4, 6, 3};
    for (int i = 0; i < 4; ++i)
        painter.drawLine(8 - halfWidths[i], 2 + 4 * i, 7 + halfWidths[i], 2 + 4 * i);
    return QIcon(picture);
}

} // namespace

AdvertPage::AdvertPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::AdvertPage>())
    , m_errors(errors)
    , m_rows(link, errors, AdvertRow::table, AdvertRow::size) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    m_lines = {Line{ui.ed_CheckBeginFirst, ui.cb_CheckBeginFirst}, Line{ui.ed_CheckBeginSecond, ui.cb_CheckBeginSecond},
               Line{ui.ed_CheckBeginThird, ui.cb_CheckBeginThird}, Line{ui.ed_CheckEndFirst, ui.cb_CheckEndFirst},
               Line{ui.ed_CheckEndSecond, ui.cb_CheckEndSecond},   Line{ui.ed_CheckEndThird, ui.cb_CheckEndThird}};
    const QFont font = receiptFont();
    const auto validator = new Cp1251Validator(this);
    for (const Line& l : m_lines) {
        l.text->setFont(font);
        l.text->setValidator(validator);
        // Room for the whole line, the frame and the cursor, so that the centring is seen as printed.
        const QString widest(AdvertRow::textLength + 4, QLatin1Char('W'));
        l.text->setMinimumWidth(l.text->fontMetrics().horizontalAdvance(widest));
    }
    const QIcon icon = centringIcon(palette().color(QPalette::ButtonText));
    for (QToolButton* button : {ui.bCenter1, ui.bCenter2, ui.bCenter3, ui.bCenter4, ui.bCenter5, ui.bCenter6}) {
        button->setIcon(icon);
        connect(button, &QToolButton::clicked, this, [this, button] { bCenter1Click(button); });
    }
}

AdvertPage::~AdvertPage() = default;

int AdvertPage::rowCount() const {
    return AdvertRow::rowCount;
}

void AdvertPage::AdStringsRowRead(int row) {
    m_rows.read(QStringLiteral("Tfm_Main.AdStringsRowRead"), uint16_t(row), [&](const QByteArray& bytes) {
        line(row).text->setText(RowText::read(bytes, 0, AdvertRow::textLength));
        line(row).stretch->setCurrentIndex(AdvertRow::stretchItem(uint8_t(bytes[AdvertRow::textLength])));
    });
}

void AdvertPage::AdStringsRowWrite(int row) {
    m_rows.write(QStringLiteral("Tfm_Main.AdStringsRowWrite"), uint16_t(row), [&] {
        const Line& l = line(row);
        return AdvertRow::encode(l.text->text(), l.stretch->currentIndex());
    });
}

void AdvertPage::bCenter1Click(QObject* sender) {
    m_errors.guard(QStringLiteral("Tfm_Main.bCenter1Click"), [&] {
        const int row = sender->objectName().mid(QStringLiteral("bCenter").size()).toInt();
        if (row < 1 || row > AdvertRow::rowCount)
            return;
        const Line& l = line(row);
        l.text->setText(AdvertRow::centred(l.text->text(), l.stretch->currentIndex()));
    });
}
