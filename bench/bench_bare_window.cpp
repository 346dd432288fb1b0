// The reference for start-up time: a bare Qt main window (a 10,000 x 8 table
// view over a model, a tool bar of five of the style's standard icons, as the
// configurator's tool bar has, and a status bar) measured the same way as the
// configurator, from starting a fresh process to the window's first paint.
#include "first_frame.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>

namespace {

// Numbers in the first column, like the configurator's goods grid before a read.
class NumberedRows : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 10'000; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 8; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || index.column() != 0)
            return {};
        return QString::number(index.row() + 1);
    }
};

} // namespace

int main(int argc, char** argv) {
    return firstFrameMain(argc, argv, "bare", [](QApplication& app, const std::function<void(QWidget&)>& watch) {
        QMainWindow window;
        NumberedRows model;
        auto* view = new QTableView(&window);
        view->setModel(&model);
        window.setCentralWidget(view);
        QToolBar* tools = window.addToolBar(QStringLiteral("Tools"));
        const QStyle* style = window.style();
        for (const QStyle::StandardPixmap icon : {QStyle::SP_ArrowDown, QStyle::SP_ArrowUp, QStyle::SP_DialogOpenButton,
                                                  QStyle::SP_DialogSaveButton, QStyle::SP_MessageBoxQuestion})
            tools->addAction(style->standardIcon(icon), QString());
        window.statusBar()->showMessage(QStringLiteral("Ready"));
        window.resize(800, 600);
        watch(window);
        window.show();
        return app.exec();
    });
}
