#pragma once

#include "row_io.h"
#include "table_page.h"

#include <array>
#include <memory>
#include <QWidget>

class ErrorReporter;
class QComboBox;
class RegisterLink;

namespace Ui {
class DevicesPage;
}

// How the register talks to the devices attached to it, one row of table 8
// each: barcode scanner, scales, PC and customer display.
class DevicesPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    DevicesPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);
    ~DevicesPage() override;

    int rowCount() const override;
    void readRow(int row) override { DevicesRowRead(row); }
    void writeRow(int row) override { DevicesRowWrite(row); }

    void DevicesRowRead(int row);
    // Builds the row from the page alone.
    void DevicesRowWrite(int row);

private:
    // The lists of one row; only the scales have an interface and a protocol.
    struct Lists {
        QComboBox* interface = nullptr;
        QComboBox* protocol = nullptr;
        QComboBox* speed = nullptr;
    };
    const Lists& lists(int row) const { return m_lists.at(size_t(row - 1)); }

    std::unique_ptr<Ui::DevicesPage> m_ui;
    RowIo m_rows;
    std::array<Lists, 4> m_lists;
};
