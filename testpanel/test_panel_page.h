#pragma once

#include <cstdint>
#include <memory>
#include <QWidget>

class ErrorReporter;
class MessageBoxes;
class QButtonGroup;
class RegisterLink;

namespace Ui {
class TestPanelPage;
}

// The service page: runs one of the register's journal and goods stock queries and shows its raw
// reply in hexadecimal. It only looks: the link's last result and connection stay as they were.
class TestPanelPage : public QWidget {
    Q_OBJECT

public:
    TestPanelPage(RegisterLink& link, ErrorReporter& errors, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~TestPanelPage() override;

    // Runs the ticked query, three calls at most while it fails, and shows the reply or the
    // register's error.
    void b_startTestClick();

private:
    enum Query { RecordsCount, Record, NextRecord, OccupiedGoods, GoodsStock };

    // One call of `query`; the numbered queries take the number from the page anew each time.
    int32_t ask(Query query, int32_t& count, const uint8_t*& reply) const;
    void showReply(Query query, int32_t count, const QString& dump);

    std::unique_ptr<Ui::TestPanelPage> m_ui;
    RegisterLink& m_link;
    ErrorReporter& m_errors;
    MessageBoxes& m_boxes;
    QButtonGroup* m_queries = nullptr;
};
