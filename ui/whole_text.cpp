#include "whole_text.h"

#include <algorithm>
#include <QLineEdit>

void putWholeText(QLineEdit* edit, const QString& text) {
    edit->setMaxLength(std::max(edit->maxLength(), int(text.size())));
    edit->setText(text);
}
