// The program's boxes leave the window manager room for their caption, however short the text.
#include "message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestMessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void shortTextKeepsTheCaptionWhole() {
        WidgetMessageBoxes boxes;
        int width = 0;
        int captionWidth = 0;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            width = box->width();
            captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->done(QMessageBox::No);
        });
        boxes.ask(QStringLiteral("Да?"));
        // The title bar needs the caption and its buttons.
        QVERIFY2(width >= captionWidth + 100, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(captionWidth)));
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
