#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include "app/Platform.h"
#include "app/ScriptsWindow.h"

namespace keelwright::test {

class FakeClipboard : public Clipboard {
public:
    void setText(const QString& copied) override { text = copied; }
    QString text = "(nothing copied)";
};

class ScriptsWindowTest : public QObject {
    Q_OBJECT

private:
    FakeClipboard clipboard_;

private slots:
    void isBuiltAsDesigned() {
        ScriptsWindow window(clipboard_);
        QCOMPARE(window.windowTitle(), QString("Multi & Deed Scripts"));
        QCOMPARE(window.size(), QSize(526, 453));
        auto* text = window.findChild<QPlainTextEdit*>("txtScripts");
        auto* close = window.findChild<QPushButton*>("OKButton");
        auto* copy = window.findChild<QPushButton*>("cmdCopy");
        auto* label = window.findChild<QLabel*>("Label1");
        QVERIFY(text && close && copy && label);
        QCOMPARE(text->geometry(), QRect(8, 8, 505, 401));
        QCOMPARE(close->geometry(), QRect(432, 416, 81, 25));
        QCOMPARE(close->text(), QString("&Close"));
        QCOMPARE(copy->text(), QString("Copy &All"));
        // Copy All sits beside Close, on its line, clear of it and of the label.
        QCOMPARE(copy->geometry().top(), close->geometry().top());
        QCOMPARE(copy->size(), close->size());
        QVERIFY(copy->geometry().right() < close->geometry().left());
        QVERIFY(label->geometry().right() < copy->geometry().left());
        for (const QPushButton* button : {close, copy}) {
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
        QCOMPARE(label->text(), QString("Copy these scripts to your sphereitems2.scp"));
        QVERIFY(!text->isReadOnly());
        QVERIFY(QFontInfo(text->font()).fixedPitch());
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QWidget* next = close->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) {
            next = next->nextInFocusChain();
        }
        QCOMPARE(next, text);
        for (const QString& hint : {label->text(), ScriptsWindow::kVerXHint}) {
            label->setText(hint);
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), "Label1 is cut");
        }
        QVERIFY(copy->fontMetrics().horizontalAdvance("Copy All") <= copy->width() - 8);
        QVERIFY(!window.isModal());
    }

    void showingScriptsAgainReplacesTheText() {
        ScriptsWindow window(clipboard_);
        window.showScripts("[44D1]\r\nNAME=Mill\r\n");
        auto* text = window.findChild<QPlainTextEdit*>("txtScripts");
        QCOMPARE(text->toPlainText(), QString("[44D1]\nNAME=Mill\n"));
        QVERIFY(window.isVisible());
        window.showScripts("[4000]\r\n");
        QCOMPARE(text->toPlainText(), QString("[4000]\n"));
    }

    void closeOrEscapeDestroysTheWindow() {
        for (const bool escape : {false, true}) {
            QPointer<ScriptsWindow> window = new ScriptsWindow(clipboard_);
            window->showScripts("text\r\n");
            if (escape) {
                QTest::keyClick(window->findChild<QPlainTextEdit*>("txtScripts"), Qt::Key_Escape);
            } else {
                QTest::mouseClick(window->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
            }
            QTRY_VERIFY(window.isNull());
        }
    }

    void copyAllCopiesTheTextAsItStandsWithCrLfLineEnds() {
        ScriptsWindow window(clipboard_);
        window.showScripts(QString::fromUtf8("[4004]\r\nNAME=Mill\u00A0House ÿ\r\n\r\nTYPE=47\r\n"));
        auto* text = window.findChild<QPlainTextEdit*>("txtScripts");
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, "// mine");  // the text is the user's to edit
        QTest::mouseClick(window.findChild<QPushButton*>("cmdCopy"), Qt::LeftButton);
        QCOMPARE(clipboard_.text,
                 QString::fromUtf8("[4004]\r\nNAME=Mill\u00A0House ÿ\r\n\r\nTYPE=47\r\n// mine"));
    }

    void opensBesideItsOpenerSmallerWhereItMustAndNeverOffTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize small(429, 320);
        // Room below it for a window of some 200 pixels' height, and for nothing beside it.
        const QSize wide(screen.width() - 200, screen.height() - 220);
        const struct {
            const char* where;
            QPoint openerAt;
            QSize openerSize;
            bool smaller;  // than built, its page scrolling; else as the screen allows
        } cases[] = {
            {"centre", screen.center() - QPoint(small.width() / 2, small.height() / 2), small, false},
            {"top left", screen.topLeft(), small, false},
            {"bottom right", screen.bottomRight() - QPoint(small.width(), small.height()), small, false},
            {"wide opener at the top", screen.topLeft(), wide, true},
        };
        for (const auto& c : cases) {
            QWidget opener;
            opener.setGeometry(QRect(c.openerAt, c.openerSize));
            opener.show();
            auto* window = new ScriptsWindow(clipboard_, &opener);
            window->showScripts("text\r\n");
            const QRect placed = window->frameGeometry();
            QVERIFY2(screen.contains(placed), c.where);
            // Beside the opener; over it, centred, only where the screen has no room beside it.
            const QPoint offCentre = placed.center() - opener.frameGeometry().center();
            const bool beside = !placed.intersects(opener.frameGeometry());
            QVERIFY2(beside || offCentre.manhattanLength() <= 2, c.where);
            QVERIFY2(beside || std::string_view(c.where) == "centre", c.where);
            QVERIFY2(!c.smaller || window->height() < 453, c.where);
            // Showing new scripts leaves the window where the user put it.
            window->move(placed.topLeft() + QPoint(3, 4));
            window->showScripts("more\r\n");
            QCOMPARE(window->pos(), placed.topLeft() + QPoint(3, 4));
        }
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::ScriptsWindowTest)
#include "ScriptsWindowTest.moc"
