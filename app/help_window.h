#pragma once

#include <QDialog>

class ChmBrowser;

// The help viewer: a non-modal window showing pages of a .chm help file, one per owner window.
class HelpWindow : public QDialog {
    Q_OBJECT

public:
    // Shows the topic's page of the help file in the owner's help window, creating the window on
    // first use. Returns an empty string, or the reason in Russian and leaves every window as it was.
    static QString showTopic(QWidget* owner, const QString& chmPath, const QString& topic);

private:
    explicit HelpWindow(QWidget* owner);

    ChmBrowser* m_browser;
};
