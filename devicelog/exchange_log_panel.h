#pragma once

#include <memory>
#include <QTimer>
#include <QWidget>

class ExchangeLogModel;
class ExchangeRecorder;
class FileDialogs;
class MessageBoxes;

namespace Ui {
class ExchangeLogPanel;
}

// The exchange log on screen: the recorded calls in a table that follows new ones while it is
// shown, filters for failures and for one function, and saving what it shows to a text file.
class ExchangeLogPanel : public QWidget {
    Q_OBJECT

public:
    // How often the shown log takes in new calls: often enough to watch, rarely enough to cost
    // a transfer nothing.
    static constexpr int kRefreshMs = 200;

    ExchangeLogPanel(ExchangeRecorder& device, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent = nullptr);
    ~ExchangeLogPanel() override;

    ExchangeLogModel& model() const { return *m_model; }
    // Takes in new calls now, as the timer does.
    void refresh();
    void bt_SaveClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applyFilter();

    std::unique_ptr<Ui::ExchangeLogPanel> m_ui;
    ExchangeRecorder& m_device;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
    ExchangeLogModel* m_model;
    QTimer m_refresh;
};
