#pragma once

#include "row_io.h"
#include "table_page.h"

#include <array>
#include <memory>
#include <QWidget>

class ErrorReporter;
class QAbstractButton;
class QComboBox;
class QLineEdit;
class RegisterLink;

namespace Ui {
class AdvertPage;
}

// The six advertising lines printed at the start and the end of a receipt,
// rows 1-6 of table 4, each with its stretch mode and a button that centres it.
class AdvertPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    AdvertPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);
    ~AdvertPage() override;

    int rowCount() const override;
    void readRow(int row) override { AdStringsRowRead(row); }
    void writeRow(int row) override { AdStringsRowWrite(row); }

    void AdStringsRowRead(int row);
    // Builds the row from the page alone; the text goes as typed, padded with blanks.
    void AdStringsRowWrite(int row);
    // Centres the line of the button `sender` ("bCenter1" to "bCenter6").
    void bCenter1Click(QObject* sender);

private:
    struct Line {
        QLineEdit* text = nullptr;
        QComboBox* stretch = nullptr;
    };
    const Line& line(int row) const { return m_lines.at(size_t(row - 1)); }

    std::unique_ptr<Ui::AdvertPage> m_ui;
    ErrorReporter& m_errors;
    RowIo m_rows;
    std::array<Line, 6> m_lines;
};
