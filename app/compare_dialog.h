#pragma once

#include <QDialog>
#include <QList>
#include <QString>

// One difference as the user reads it: the field's caption, the register's value, the page's.
struct ShownDifference {
    QString caption;
    QString before;
    QString after;
};

// The differences between the page and the register. Accepted means «Записать в ККМ».
class CompareDialog : public QDialog {
    Q_OBJECT

public:
    explicit CompareDialog(const QList<ShownDifference>& differences, QWidget* parent = nullptr);
};
