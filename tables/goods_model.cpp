#include "goods_model.h"

#include <algorithm>

namespace {
const std::array<QString, GoodsModel::ColumnCount> headers{
    QStringLiteral("Товар"), QStringLiteral("Наименование"), QStringLiteral("Штрих-код"), QStringLiteral("Отдел"),
    QStringLiteral("Цена"),  QStringLiteral("Дробное"),      QStringLiteral("Продажи"),   QStringLiteral("Возвраты")};
}

GoodsModel::GoodsModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_fields(recordCount)
    , m_fractional(recordCount, 0) {}

int GoodsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : recordCount;
}

int GoodsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant GoodsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row() + 1, index.column());
}

bool GoodsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    setCell(index.row() + 1, index.column(), value.toString());
    return true;
}

Qt::ItemFlags GoodsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    switch (index.column()) {
    case NameColumn:
    case BarcodeColumn:
    case SectionColumn:
    case PriceColumn:
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    default:
        // The number is fixed; the fractional flag is toggled, and sales and returns only shown.
        return Qt::ItemIsEnabled;
    }
}

QVariant GoodsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < ColumnCount ? headers[size_t(section)] : QString();
    return QString::number(section + 1);
}

QString GoodsModel::cell(int record, int column) const {
    if (column == NumberColumn)
        return QString::number(record);
    return m_fields[size_t(record - 1)][size_t(column - 1)];
}

void GoodsModel::setCell(int record, int column, const QString& text) {
    if (column == NumberColumn)
        return;
    m_fields[size_t(record - 1)][size_t(column - 1)] = text;
    const QModelIndex changed = index(record - 1, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void GoodsModel::clearRecords(int first, int last) {
    if (last < first)
        return;
    std::fill(m_fields.begin() + (first - 1), m_fields.begin() + last, Fields{});
    std::fill(m_fractional.begin() + (first - 1), m_fractional.begin() + last, uint8_t(0));
    emit dataChanged(index(first - 1, NameColumn), index(last - 1, ReturnsColumn), {Qt::DisplayRole, Qt::EditRole});
}

void GoodsModel::setRecord(int record, const Fields& fields, bool on) {
    m_fields[size_t(record - 1)] = fields;
    m_fractional[size_t(record - 1)] = on;
    emit dataChanged(index(record - 1, NameColumn), index(record - 1, ReturnsColumn), {Qt::DisplayRole, Qt::EditRole});
}
