#pragma once

#include "row_io.h"
#include "table_page.h"

#include <memory>
#include <QWidget>

class ErrorReporter;
class RegisterLink;

namespace Ui {
class OptionsPage;
}

// The register's general options, one row of table 2 handled field by field:
// each call moves the whole row and touches only the field it is given.
class OptionsPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    OptionsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);
    ~OptionsPage() override;

    int rowCount() const override;
    void readRow(int field) override { KKMSettingsRowRead(field); }
    void writeRow(int field) override { KKMSettingsRowWrite(field); }

    void KKMSettingsRowRead(int field);
    // Reads the row afresh and writes it back with only `field` replaced.
    void KKMSettingsRowWrite(int field);

private:
    void showField(int field, const QByteArray& row);
    void putField(int field, QByteArray& row);

    std::unique_ptr<Ui::OptionsPage> m_ui;
    RowIo m_rows;
};
