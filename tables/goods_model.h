#pragma once

#include <array>
#include <QAbstractTableModel>
#include <vector>

// The goods grid's content: records 1 to 9999 in rows 0 to 9998, column 0
// their number, and each record's fractional flag, which is what a write sends
// (the "Дробное" cell only shows it).
class GoodsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        NumberColumn,
        NameColumn,
        BarcodeColumn,
        SectionColumn,
        PriceColumn,
        FractionalColumn,
        SalesColumn,
        ReturnsColumn,
        ColumnCount
    };
    static constexpr int recordCount = 9999;
    using Fields = std::array<QString, ColumnCount - 1>;

    explicit GoodsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Records and columns as the user numbers them: record 1 is row 0; column 0 is the number.
    QString cell(int record, int column) const;
    void setCell(int record, int column, const QString& text);
    // Columns 1 to 7 at once, with the fractional flag.
    const Fields& record(int record) const { return m_fields[size_t(record - 1)]; }
    void setRecord(int record, const Fields& fields, bool fractional);
    // Records `first` .. `last` emptied, their flags off.
    void clearRecords(int first, int last);
    bool fractional(int record) const { return m_fractional[size_t(record - 1)] != 0; }
    void setFractional(int record, bool on) { m_fractional[size_t(record - 1)] = on; }

private:
    std::vector<Fields> m_fields;
    std::vector<uint8_t> m_fractional;
};
