#include "unsaved_edits.h"

#include "goods_model.h"
#include "message_boxes.h"
#include "settings_exchange.h"

UnsavedEdits::UnsavedEdits(const QHash<QWidget*, QString>& sections, QWidget* goodsPage, SettingsExchange& settings,
                           GoodsModel& goods, MessageBoxes& boxes, QObject* parent)
    : QObject(parent)
    , m_sections(sections)
    , m_goodsPage(goodsPage)
    , m_settings(settings)
    , m_goods(goods)
    , m_boxes(boxes) {
    settleAll();
}

SettingsLayout::Values UnsavedEdits::sectionValues(const QString& section) const {
    const SettingsLayout::Values all = m_settings.pageValues();
    SettingsLayout::Values values;
    const QString prefix = SettingsLayout::valueId(section, QString());
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (it.key().startsWith(prefix))
            values.insert(it.key(), it.value());
    }
    return values;
}

UnsavedEdits::GoodsRecords UnsavedEdits::goodsRecords() const {
    GoodsRecords records;
    records.reserve(GoodsModel::recordCount);
    for (int record = 1; record <= GoodsModel::recordCount; ++record)
        records.push_back({m_goods.record(record), m_goods.fractional(record)});
    return records;
}

void UnsavedEdits::settle(QWidget* page) {
    if (page == m_goodsPage)
        m_settledGoods = goodsRecords();
    else if (m_sections.contains(page))
        m_settled.insert(page, sectionValues(m_sections.value(page)));
}

void UnsavedEdits::settleAll() {
    for (QWidget* page : m_sections.keys())
        settle(page);
    settle(m_goodsPage);
}

bool UnsavedEdits::edited(QWidget* page) const {
    if (page == m_goodsPage) {
        const GoodsRecords now = goodsRecords();
        return !std::equal(now.begin(), now.end(), m_settledGoods.begin(), m_settledGoods.end(),
                           [](const GoodsDiff::Record& a, const GoodsDiff::Record& b) {
                               return a.fields == b.fields && a.fractional == b.fractional;
                           });
    }
    return m_sections.contains(page) && sectionValues(m_sections.value(page)) != m_settled.value(page);
}

bool UnsavedEdits::mayClose() const {
    const bool any = edited(m_goodsPage) || std::any_of(m_sections.keyBegin(), m_sections.keyEnd(),
                                                        [this](QWidget* page) { return edited(page); });
    return !any || m_boxes.ask(QStringLiteral("Изменения не записаны в ККМ. Закрыть программу?"));
}

bool UnsavedEdits::mayRead(QWidget* page) const {
    return !edited(page) ||
           m_boxes.ask(QStringLiteral("Изменения на странице не записаны в ККМ. Прочитать таблицу из ККМ вместо них?"));
}
