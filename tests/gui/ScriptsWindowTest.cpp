#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "app/ScriptsWindow.h"

namespace keelwright::test {

class ScriptsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void isBuiltAsDesigned() {
        ScriptsWindow window;
        QCOMPARE(window.windowTitle(), QString("Multi & Deed Scripts"));
        QCOMPARE(window.size(), QSize(526, 453));
        auto* text = window.findChild<QPlainTextEdit*>("txtScripts");
        auto* close = window.findChild<QPushButton*>("OKButton");
        auto* label = window.findChild<QLabel*>("Label1");
        QVERIFY(text && close && label);
        QCOMPARE(text->geometry(), QRect(8, 8, 505, 401));
        QCOMPARE(close->geometry(), QRect(432, 416, 81, 25));
        QCOMPARE(close->text(), QString("&Close"));
        QVERIFY(!close->isDefault() && !close->autoDefault());
        QCOMPARE(label->text(), QString("Copy these scripts to your sphereitems2.scp"));
        QVERIFY(!text->isReadOnly());
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QWidget* next = close->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) {
            next = next->nextInFocusChain();
        }
        QCOMPARE(next, text);
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), "Label1 is cut");
        QVERIFY(!window.isModal());
    }

    void showingScriptsAgainReplacesTheText() {
        ScriptsWindow window;
        window.showScripts("[44D1]\r\nNAME=Mill\r\n");
        auto* text = window.findChild<QPlainTextEdit*>("txtScripts");
        QCOMPARE(text->toPlainText(), QString("[44D1]\nNAME=Mill\n"));
        QVERIFY(window.isVisible());
        window.showScripts("[4000]\r\n");
        QCOMPARE(text->toPlainText(), QString("[4000]\n"));
    }

    void closeDestroysTheWindow() {
        QPointer<ScriptsWindow> window = new ScriptsWindow;
        window->showScripts("text\r\n");
        QTest::mouseClick(window->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::ScriptsWindowTest)
#include "ScriptsWindowTest.moc"
