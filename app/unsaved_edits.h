#pragma once

#include "goods_diff.h"
#include "settings_layout.h"

#include <QHash>
#include <QObject>
#include <vector>

class GoodsModel;
class MessageBoxes;
class SettingsExchange;
class QWidget;

// Whether the pages hold edits not yet written to the register: each page is compared with what
// it held after its last read or write, or the last settings load.
class UnsavedEdits : public QObject {
    Q_OBJECT

public:
    // `sections`: each configuration page with the settings section it shows.
    UnsavedEdits(const QHash<QWidget*, QString>& sections, QWidget* goodsPage, SettingsExchange& settings,
                 GoodsModel& goods, MessageBoxes& boxes, QObject* parent = nullptr);

    // What `page` holds now is what the register holds (or what the user chose to keep).
    void settle(QWidget* page);
    void settleAll();
    bool edited(QWidget* page) const;

    // Asked before the window closes with edits anywhere; true to close.
    bool mayClose() const;
    // Asked before a read would replace the edits of `page`; true to read.
    bool mayRead(QWidget* page) const;

private:
    using GoodsRecords = std::vector<GoodsDiff::Record>;
    SettingsLayout::Values sectionValues(const QString& section) const;
    GoodsRecords goodsRecords() const;

    QHash<QWidget*, QString> m_sections;
    QWidget* m_goodsPage;
    SettingsExchange& m_settings;
    GoodsModel& m_goods;
    MessageBoxes& m_boxes;
    QHash<QWidget*, SettingsLayout::Values> m_settled;
    GoodsRecords m_settledGoods;
};
