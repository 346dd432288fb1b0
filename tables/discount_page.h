#pragma once

#include "row_io.h"
#include "table_page.h"

#include <memory>
#include <QWidget>

class ErrorReporter;
class QComboBox;
class QLineEdit;
class RegisterLink;

namespace Ui {
class DiscountPage;
}

// The register's discount (row 1) and mark-up (row 2) of table 5: a
// percentage and a permission each.
class DiscountPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    DiscountPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);
    ~DiscountPage() override;

    int rowCount() const override;
    void readRow(int row) override { DiscExtraRowRead(row); }
    void writeRow(int row) override { DiscExtraRowWrite(row); }

    void DiscExtraRowRead(int row);
    // Builds the row from the page alone. A value the register cannot hold
    // (above 99.99, negative, not a number) is refused and reported; nothing is sent.
    void DiscExtraRowWrite(int row);

private:
    QLineEdit* valueEdit(int row) const;
    QComboBox* permissionList(int row) const;

    std::unique_ptr<Ui::DiscountPage> m_ui;
    RowIo m_rows;
};
