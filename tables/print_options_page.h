#pragma once

#include "row_io.h"
#include "table_page.h"

#include <memory>
#include <QWidget>

class ErrorReporter;
class QByteArray;
class RegisterLink;

namespace Ui {
class PrintOptionsPage;
}

// What the register prints on its receipts, one row of table 3 handled field
// by field: each call moves the whole row and touches only the field it is given.
class PrintOptionsPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    PrintOptionsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);
    ~PrintOptionsPage() override;

    int rowCount() const override;
    void readRow(int field) override { PRNSettingsRowRead(field); }
    void writeRow(int field) override { PRNSettingsRowWrite(field); }

    void PRNSettingsRowRead(int field);
    // Reads the row afresh and writes it back with only `field` replaced.
    void PRNSettingsRowWrite(int field);

private:
    void showField(int field, const QByteArray& row);
    void putField(int field, QByteArray& row);

    std::unique_ptr<Ui::PrintOptionsPage> m_ui;
    RowIo m_rows;
};
