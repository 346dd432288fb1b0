#pragma once

#include "goods_model.h"
#include "table_page.h"

#include <QWidget>

class ErrorReporter;
class GoodsView;
class QLineEdit;
class RegisterLink;

// One goods record from the register as the grid shows it, with three attempts; false when the
// read failed (the link's last result says why).
bool readGoodsRecord(RegisterLink& link, int record, GoodsModel::Fields& fields, bool& fractional);

// Sends one goods record as the grid holds it (a price without a point gets ".00"), with five
// attempts; the link's last result says how it went.
void writeGoodsRecord(RegisterLink& link, int record, const GoodsModel::Fields& fields, bool fractional);

// The register's goods records 1 to 9999 in one grid, moved one record at a
// time through the library's goods calls.
class GoodsPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    GoodsPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent = nullptr);

    GoodsModel& model() const { return *m_model; }
    GoodsView& view() const { return *m_view; }

    int rowCount() const override;
    bool usesGoodsRange() const override { return true; }
    void readRow(int record) override { GoodsRowRead(record); }
    void writeRow(int record) override { GoodsRowWrite(record); }
    int currentRow() const override;
    void clearRows(int first, int last) override;

    void GoodsRowRead(int record);
    void GoodsRowWrite(int record);
    // Whether a cell may take the selection; an attempt on "Дробное" toggles the record's flag.
    bool GoodsSelectCell(int record, int column);
    // The editor's text after a change from `previous` to `text`.
    QString GoodsSetEditText(int column, const QString& text, const QString& previous);
    void ed_GoodsStartChange(QLineEdit* edit);

private:
    RegisterLink& m_link;
    ErrorReporter& m_errors;
    GoodsModel* m_model;
    GoodsView* m_view;
};
