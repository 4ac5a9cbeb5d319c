// What the window looks like: readable path-box colours that still say valid and invalid, labels on the
// line of their boxes, and a tab order that follows the work.
#include <QDir>
#include <QGroupBox>
#include <QTextEdit>
#include <cmath>

#include "WindowHarness.h"

namespace keelwright::test {

namespace {

// The relative luminance and contrast ratio of the Web Content Accessibility Guidelines.
double luminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The vertical middle of a control in the window's coordinates.
int middleOf(const QWidget* control, const QWidget* window) {
    return control->mapTo(window, control->rect().center()).y();
}

}  // namespace

class MainWindowLookTest : public QObject, private WindowHarness {
    Q_OBJECT

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void pathBoxesAreLightGreenOrLightRedUnderReadableDarkText() {
        start();
        const QString idx = clientFile("Multi.idx");
        const struct {
            QString path;
            QColor expected;
            bool green;
        } cases[] = {{idx, MainWindow::kValidPath, true}, {idx + "x", MainWindow::kInvalidPath, false}};
        for (const auto& c : cases) {
            box("txtMultiIdx")->setText(c.path);
            const QColor background = BoxColour(box("txtMultiIdx"));
            const QColor text = box("txtMultiIdx")->palette().color(QPalette::Active, QPalette::Text);
            QCOMPARE(background, c.expected);
            QVERIFY2(contrast(background, text) >= 7.0,
                     qPrintable(QString::number(contrast(background, text))));
            QVERIFY(background.lightnessF() >= 0.75 && text.lightnessF() <= 0.25);
            // Clearly the one colour: its channel leads the others by a wide margin.
            const int lead = c.green ? background.green() : background.red();
            const int others = c.green ? std::max(background.red(), background.blue())
                                       : std::max(background.green(), background.blue());
            QVERIFY2(lead - others >= 48, c.green ? "not green enough" : "not red enough");
        }
    }

    void labelsLineUpWithTheirBoxes() {
        start();
        const std::pair<const char*, const char*> rows[] = {
            {"Label2", "txtMultiName"},        {"Label3", "txtBuyValue"},
            {"Label4", "txtSellValue"},        {"Label5", "txtMultiIdx"},
            {"Label6", "txtMultiMul"},         {"Command1", "txtMultiIdx"},
            {"Command2", "txtMultiMul"},       {"Label8", "txtMultiCollection"},
            {"Command3", "txtMultiCollection"}};
        for (const auto& [control, boxName] : rows) {
            const auto* widget = window_->findChild<QWidget*>(control);
            QCOMPARE(middleOf(widget, window_.get()), middleOf(box(boxName), window_.get()));
            QVERIFY(widget->geometry().right() < box(boxName)->geometry().left() ||
                    widget->geometry().left() > box(boxName)->geometry().right());
            if (const auto* text = qobject_cast<const QLabel*>(widget)) {
                QVERIFY2(text->alignment() & Qt::AlignVCenter, control);
                QVERIFY2(text->fontMetrics().horizontalAdvance(text->text()) <= text->width(), control);
            }
        }
    }

    void theTabOrderFollowsTheWork() {
        start();
        QStringList order;
        for (QWidget* w = window_->nextInFocusChain(); w != window_.get(); w = w->nextInFocusChain()) {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window_.get())) {
                order << w->objectName();
            }
        }
        // The client files, Load, the name and values, Patch, Create Script, then the rest.
        const QStringList expected = {
            "txtMultiIdx", "Command1",     "txtMultiMul",     "Command2",   "txtMultiCollection",
            "Command3",    "cmdLoad",      "optWsc",          "optTxt",     "txtMultiName",
            "txtBuyValue", "txtSellValue", "txtMultiNumber",  "cmdPatch",   "optVer54",
            "optVer51a",   "optVerX",      "cmdCreateScript", "cmdPreview", "cmdClientMultis",
            "cmdShard",    "cmdExit"};
        QCOMPARE(order, expected);
    }

    void aWiderWindowGivesThePathBoxesTheRoom() {
        start();
        const QSize built = window_->size();
        QCOMPARE(window_->minimumSize(), built);  // never narrower than built
        const QRect box0 = box("txtMultiIdx")->geometry();
        const QRect exit0 = button("cmdExit")->geometry();
        const QRect browse0 = button("Command3")->geometry();
        const QRect status0 = label("lblStatus")->geometry();
        window_->resize(built.width() + 200, built.height());
        QCOMPARE(window_->width(), built.width() + 200);
        for (const char* name : {"txtMultiIdx", "txtMultiMul", "txtMultiCollection"}) {
            QCOMPARE(box(name)->width(), box0.width() + 200);
        }
        QCOMPARE(button("cmdExit")->geometry(), exit0.translated(200, 0));
        QCOMPARE(button("Command3")->geometry(), browse0.translated(200, 0));
        QCOMPARE(label("lblStatus")->width(), status0.width() + 200);
        window_->resize(built);
        QCOMPARE(box("txtMultiIdx")->geometry(), box0);
    }

    void aLongStatusShowsWholeOnLinesThatCanBeSelected() {
        start();
        const QString name = "a script whose name alone would fill the status line of the window twice.txt";
        option("optTxt")->click();
        load(file(name, "6 version\r\n1 template id\r\n-1 item version\r\nmany num components\r\n"));
        QLabel* status = label("lblStatus");
        QVERIFY2(status->text().startsWith("Load failed: " + name + ":4:"), qPrintable(status->text()));
        QVERIFY(!status->text().contains(QString::fromUtf8("\u2026")));
        QVERIFY(status->wordWrap());
        QVERIFY(status->height() > status->fontMetrics().height() * 2);
        QVERIFY(status->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QCOMPARE(status->focusPolicy(), Qt::StrongFocus);  // the keyboard reaches it
        auto* details = child<QTextEdit>("txtStatusDetails");
        QVERIFY(details->isVisible());
        // The whole path, with its folders, below; the reason once, on the line above.
        QVERIFY(details->toPlainText().contains(QDir::toNativeSeparators(dir_->path())));
        QVERIFY(!details->toPlainText().contains("component count"));
        QVERIFY(status->toolTip().contains(dir_->path()));
        QVERIFY(details->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QVERIFY(details->document()->size().width() <= details->width());  // wrapped, not cut
        QCOMPARE(details->geometry().top(), status->geometry().bottom() + 1);
        QVERIFY(window_->height() > details->geometry().bottom());  // the window grew to show it all
    }

    void noTwoControlsOverlap() {
        start();
        for (const int extra : {0, 300}) {
            window_->resize(window_->minimumWidth() + extra, window_->height());
            noTwoControlsOverlapInside();
        }
    }

private:
    void noTwoControlsOverlapInside() {
        QList<QWidget*> containers{window_.get()};
        for (QGroupBox* frame : window_->findChildren<QGroupBox*>()) {
            containers << frame;
        }
        for (const QWidget* container : containers) {
            QList<QWidget*> shown;
            for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (w->isVisibleTo(window_.get())) {
                    shown << w;
                }
            }
            for (qsizetype i = 0; i < shown.size(); ++i) {
                QVERIFY(container->rect().contains(shown[i]->geometry()));
                for (qsizetype j = i + 1; j < shown.size(); ++j) {
                    QVERIFY2(!shown[i]->geometry().intersects(shown[j]->geometry()),
                             qPrintable(shown[i]->objectName() + " and " + shown[j]->objectName()));
                }
            }
        }
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::MainWindowLookTest)
#include "MainWindowLookTest.moc"
