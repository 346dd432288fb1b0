#include "test_panel_page.h"

#include "conversions.h"
#include "error_reporter.h"
#include "message_boxes.h"
#include "register_link.h"
#include "reply_dump.h"
#include "ui_test_panel_page.h"

#include <QButtonGroup>
#include <QFontDatabase>

namespace {

constexpr int queryAttempts = 3;

// What keeps a successful reply off the page, or nothing when it can be shown.
QString replyFault(const uint8_t* reply, int32_t result) {
    if (result > maxReplyData)
        return QStringLiteral("Ответ ККМ не показан: библиотека ККМ указала длину данных %1, а допустимо не более "
                              "%2 байт. Возможно, библиотека ККМ неисправна или не подходит к этой программе.")
            .arg(result)
            .arg(maxReplyData);
    if (!reply)
        return QStringLiteral("Ответ ККМ не показан: библиотека ККМ сообщила об успехе, но не передала ответ.");
    return {};
}

} // namespace

TestPanelPage::TestPanelPage(RegisterLink& link, ErrorReporter& errors, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::TestPanelPage>())
    , m_link(link)
    , m_errors(errors)
    , m_boxes(boxes) {
    m_ui->setupUi(this);
    // Hexadecimal columns line up only in a fixed-width font.
    m_ui->MemoTestOut->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_queries = new QButtonGroup(this);
    m_queries->addButton(m_ui->rb_Reccount, RecordsCount);
    m_queries->addButton(m_ui->rb_GetRec, Record);
    m_queries->addButton(m_ui->rb_GetRecNext, NextRecord);
    m_queries->addButton(m_ui->rb_FindNEmpty, OccupiedGoods);
    m_queries->addButton(m_ui->rb_GoodsRest, GoodsStock);

    connect(m_ui->b_startTest, &QAbstractButton::clicked, this, &TestPanelPage::b_startTestClick);
}

TestPanelPage::~TestPanelPage() = default;

void TestPanelPage::b_startTestClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.b_startTestClick"), [this] {
        // The group is exclusive and starts with a button ticked, so one always is.
        const auto query = Query(m_queries->checkedId());
        int32_t count = 0;
        const uint8_t* reply = nullptr;
        int32_t result = 0;
        for (int call = 0; call < queryAttempts; ++call) {
            reply = nullptr;
            result = ask(query, count, reply);
            if (result >= 0)
                break;
        }
        if (result < 0) {
            m_boxes.error(QStringLiteral("ОШИБКА: ") + m_link.errorText(result));
            return;
        }
        if (const QString fault = replyFault(reply, result); !fault.isEmpty()) {
            m_boxes.error(fault);
            return;
        }
        // The array is the library's until its next call: it is read here and nowhere kept.
        showReply(query, count, replyDump(reply, result));
    });
}

int32_t TestPanelPage::ask(Query query, int32_t& count, const uint8_t*& reply) const {
    ExchangeRecorder& api = m_link.api;
    const uint8_t kkm = m_link.kkmAddr;
    const uint8_t pc = m_link.pcAddr;
    int32_t ignored = 0;
    switch (query) {
    case RecordsCount:
        return api.GetJRecordsCount(kkm, pc, &count, &reply);
    case Record:
        return api.GetJRecord(kkm, pc, strToInt(m_ui->ed_Testout->text()), &ignored, &reply);
    case NextRecord:
        return api.GetJRecordNext(kkm, pc, &ignored, &reply);
    case OccupiedGoods:
        return api.NEmptyFind(kkm, pc, &ignored, &reply);
    case GoodsStock:
        break;
    }
    return api.GetGoodsRest(kkm, pc, strToInt(m_ui->ed_Testout->text()), &ignored, &reply);
}

void TestPanelPage::showReply(Query query, int32_t count, const QString& dump) {
    if (query == RecordsCount) {
        m_ui->ed_Testin->setText(QString::number(count));
        m_ui->MemoTestOut->setPlainText(dump);
        return;
    }
    m_ui->MemoTestOut->setPlainText(dump);
    m_ui->ed_Testin->setText(dump);
}
