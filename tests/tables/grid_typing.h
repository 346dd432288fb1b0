#pragma once

#include "register_grid.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

// Types `keys` into the in-place editor of cell (column, row) key by key, as
// a user would, and answers what the editor then holds.
inline QString typeIntoCell(RegisterGrid& grid, int column, int row, const QString& keys) {
    grid.setCurrentCell(row - 1, column);
    grid.editItem(grid.item(row - 1, column));
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    if (!editor)
        return QStringLiteral("<no editor>");
    editor->clear();
    QTest::keyClicks(editor, keys);
    const QString text = editor->text();
    QTest::keyClick(editor, Qt::Key_Return);
    // The view takes the editor's text in a queued call.
    QCoreApplication::processEvents();
    return text;
}
