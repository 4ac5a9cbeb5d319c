// The window's state after a user strays from the happy path: failed loads, edits by any means, text the
// scripts cannot hold, a second patch of the same multi, dialogs that open where the files are, and files
// that vanish while the window is in the background.
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <functional>

#include "WindowHarness.h"

namespace keelwright::test {

class MainWindowStateTest : public QObject, private WindowHarness {
    Q_OBJECT

private:
    static constexpr const char* kDetailBoxes[] = {"txtMultiName", "txtBuyValue", "txtSellValue"};

    void fillDetails() {
        QTest::keyClicks(box("txtMultiName"), "Lakeside Mill");
        QTest::keyClicks(box("txtBuyValue"), "25000");
        QTest::keyClicks(box("txtSellValue"), "12500");
    }

    QPlainTextEdit* scriptsText() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "frmMultiScripts" && top->isVisible()) {
                return top->findChild<QPlainTextEdit*>("txtScripts");
            }
        }
        return nullptr;
    }

    // Runs an action of the box's own context menu, found by its caption.
    static void useContextMenu(QLineEdit* box, const QString& caption) {
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->text().remove('&').section('\t', 0, 0) == caption) {
                QVERIFY2(action->isEnabled(), qPrintable(caption));
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable("no context menu action " + caption));
    }

    // Makes another window the active one, then the main window again, as a user coming back does.
    void comeBackToTheWindow() {
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void aFailedLoadKeepsTheMultiLoadedBeforeAndSaysSo() {
        const struct {
            bool multiText;
            QByteArray script;
            const char* reason;  // where the reader stopped, and why for a count line above the lines
        } cases[] = {
            {true, "6 version\r\n1 template id\r\n-1 item version\r\n5 num components\r\n1709 0 0 0\r\n",
             "broken:4: the count line gives 5 components, but only 1 component lines follow"},
            {true, "6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n1709 x 0 0\r\n",
             "broken:5: "},
            {false, "a\r\nb\r\nc\r\nd\r\nID 1709\r\nX 5\r\n", "broken:"},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            start();
            box("txtMultiIdx")->setText(clientFile("Multi.idx"));
            box("txtMultiMul")->setText(clientFile("Multi.mul"));
            load(example("house.wsc"));
            fillDetails();
            QVERIFY(button("cmdPatch")->isEnabled() && button("cmdCreateScript")->isEnabled());

            option(c.multiText ? "optTxt" : "optWsc")->click();
            load(file("broken", c.script));
            const QString why = label("lblStatus")->toolTip();
            QVERIFY2(why.startsWith("Load failed: ") && why.contains(c.reason), qPrintable(why));
            QVERIFY2(label("lblStatus")->text().endsWith("; house.wsc is still loaded"),
                     qPrintable(label("lblStatus")->text()));
            // The house stays, with everything it had opened.
            QVERIFY(button("cmdPatch")->isEnabled());
            QVERIFY(button("cmdCreateScript")->isEnabled());
            QVERIFY(button("cmdPreview")->isEnabled());
            QCOMPARE(label("lblItems")->text(), QString("26"));
            QCOMPARE(window_->workspace().table.Count, 26);
            QCOMPARE(window_->workspace().ScriptPath, example("house.wsc"));
            QCOMPARE(box("txtMultiName")->text(), QString("Lakeside Mill"));
            QVERIFY(box("txtMultiName")->isEnabled());
        }

        // With nothing loaded before, a failed load leaves nothing loaded.
        restartWindowTest();
        start();
        option("optTxt")->click();
        load(file("broken", cases[0].script));
        QVERIFY(!label("lblStatus")->text().contains("still loaded"));
        QVERIFY(!button("cmdPatch")->isEnabled() && !button("cmdPreview")->isEnabled());
        QCOMPARE(label("lblItems")->text(), QString("0"));
        for (const char* name : kDetailBoxes) {
            QVERIFY2(!box(name)->isEnabled(), name);
        }
        QVERIFY(!child<QCheckBox>("chkScriptOnly")->isEnabled());
    }

    void aDisabledPatchMultiSaysWhyInTheStatusLine() {
        const struct {
            bool idxGreen;
            bool mulGreen;
            QString status;
        } cases[] = {
            {false, true, "Patch Multi needs the client's Multi.idx: its box names no file"},
            {true, false, "Patch Multi needs the client's Multi.mul: its box names no file"},
            {false, false,
             "Patch Multi needs the client's Multi.idx and Multi.mul: their boxes name no file"},
            {true, true, ""},  // both green again: Patch Multi is enabled and the reason goes
        };
        startWithClientFiles();
        load(example("house.wsc"));
        for (const auto& c : cases) {
            box("txtMultiIdx")->setText(c.idxGreen ? idx_ : idx_ + ".gone");
            box("txtMultiMul")->setText(c.mulGreen ? mul_ : mul_ + ".gone");
            QCOMPARE(button("cmdPatch")->isEnabled(), c.idxGreen && c.mulGreen);
            QCOMPARE(label("lblStatus")->text(), c.status);
        }
    }

    void aFailedLoadShowsItsInputShortAndEscapedAndItsPathAsNamed() {
        const QByteArray header = "6 version\r\n1 template id\r\n-1 item version\r\n";
        const QString ellipsis = QString::fromUtf8("\u2026");
        const struct {
            QString name;
            QByteArray countWord;
            QString reason;  // in the tooltip, after the file name
        } cases[] = {
            {"big.txt", QByteArray(10'000'000, 'x'),
             ":4: component count \"" + QString(80, 'x') + "\"" + ellipsis + " is not a number"},
            {QString::fromUtf8("M\u00fchle.txt"), "\x1b]0;owned\x07\xff",
             ":4: component count \"\\x1B]0;owned\\x07\\xFF\" is not a number"},
        };
        start();
        option("optTxt")->click();
        for (const auto& c : cases) {
            load(file(c.name, header + c.countWord + " num components\r\n"));
            const QString status = label("lblStatus")->text();
            const QString why = label("lblStatus")->toolTip();
            QVERIFY2(why.startsWith("Load failed: " + dir_->filePath(c.name) + c.reason), qPrintable(why));
            QVERIFY2(why.size() < 400, qPrintable(why));
            QVERIFY2(status.startsWith("Load failed: " + c.name + ":4: component count"), qPrintable(status));
            QVERIFY(status.size() < 400);
            for (const QString& text : {status, why}) {
                QVERIFY(std::none_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x20; }));
            }
        }
    }

    void aCountLineBelowTheComponentLinesLoadsTheFirstOnesAndSaysSo() {
        const QByteArray header = "6 version\r\n1 template id\r\n-1 item version\r\n";
        const QByteArray tile = "1709 0 0 0\r\n";
        const struct {
            QByteArray body;
            int count;
            QString status;
        } cases[] = {
            {"2 num components\r\n" + tile.repeated(5), 2,
             "Loaded short.txt: 2 tiles of 5 lines: the count line says 2"},
            {"1 num components\r\n" + tile + "\r\n" + tile + tile, 1,
             "Loaded short.txt: 1 tiles of 3 lines: the count line says 1"},
            {"2 num components\r\n" + tile.repeated(2) + "\r\n\r\n", 2,
             "Loaded short.txt: 2 tiles"},  // trailing blank lines are no lines
            {"3 num components\r\n" + tile.repeated(3), 3, "Loaded short.txt: 3 tiles"},
        };
        start();
        option("optTxt")->click();
        for (const auto& c : cases) {
            load(file("short.txt", header + c.body));
            QCOMPARE(label("lblStatus")->text(), c.status);
            QCOMPARE(label("lblItems")->text(), QString::number(c.count));
            QCOMPARE(window_->workspace().table.Count, c.count);
            QVERIFY(button("cmdPatch")->isEnabled());
        }
    }

    void createScriptFollowsEveryChangeOfTheDetails() {
        const struct {
            const char* edit;
            const char* box;
            std::function<void(QLineEdit*)> run;
            bool enabled;
        } cases[] = {
            {"context menu Delete", "txtMultiName",
             [](QLineEdit* b) {
                 useContextMenu(b, "Select All");
                 useContextMenu(b, "Delete");
             },
             false},
            {"clear()", "txtBuyValue", [](QLineEdit* b) { b->clear(); }, false},
            {"spaces set", "txtSellValue", [](QLineEdit* b) { b->setText("   "); }, false},
            {"cut", "txtMultiName",
             [](QLineEdit* b) {
                 b->selectAll();
                 b->cut();
             },
             false},
            {"cut, then undo", "txtMultiName",
             [](QLineEdit* b) {
                 b->selectAll();
                 b->cut();
                 useContextMenu(b, "Undo");
             },
             true},
            {"deleted, then pasted", "txtBuyValue",
             [](QLineEdit* b) {
                 b->selectAll();
                 b->copy();
                 b->del();
                 b->paste();
             },
             true},
        };
        start();
        load(example("house.wsc"));
        for (const auto& c : cases) {
            for (const char* name : kDetailBoxes) {
                box(name)->setText("9");
            }
            QVERIFY(button("cmdCreateScript")->isEnabled());
            c.run(box(c.box));
            QVERIFY2(button("cmdCreateScript")->isEnabled() == c.enabled, c.edit);
        }
    }

    void detailsWithCharactersBeyondLatin1AreRefusedNamingTheCharacter() {
        const struct {
            const char* box;
            QString text;
            QString refusal;  // empty when the text is taken
        } cases[] = {
            {"txtMultiName", QString::fromUtf8("House 日本"),
             QString::fromUtf8("Multi Name holds the character U+65E5 '日'")},
            {"txtBuyValue", QString::fromUtf8("1２"),
             QString::fromUtf8("Buy Value holds the character U+FF12 '２'")},
            {"txtSellValue", QString::fromUtf8("5🏠"),
             QString::fromUtf8("Sell Value holds the character U+1F3E0 '🏠'")},
            {"txtMultiName", QString::fromUtf8("Café Ñandú\u00A0ÿ"), {}},
        };
        start();
        load(example("house.wsc"));
        fillDetails();
        child<QCheckBox>("chkScriptOnly")->click();  // stands in for a patch
        for (const auto& c : cases) {
            fake_->messages.clear();
            label("lblStatus")->clear();
            box(c.box)->setText(c.text);
            QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
            if (c.refusal.isEmpty()) {
                QVERIFY(fake_->messages.empty());
                QVERIFY(scriptsText() != nullptr);
                QVERIFY(scriptsText()->document()->toRawText().contains("NAME=" + c.text));
                continue;
            }
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            QVERIFY2(fake_->messages[0].text.startsWith(c.refusal), qPrintable(fake_->messages[0].text));
            QCOMPARE(fake_->messages[0].icon, MessageIcon::Warning);
            QCOMPARE(scriptsText(), nullptr);
            QCOMPARE(label("lblStatus")->text(), QString());
            box(c.box)->setText("1");
        }
    }

    void patchingTheSameScriptAgainIntoTheSameFilesAsksFirst() {
        startWithClientFiles();
        load(example("house.wsc"));
        patch();
        QCOMPARE(window_->workspace().PatchSlot, 5);
        QVERIFY(fake_->questions.empty());
        const QString question =
            "This multi is already multi 0x4 (slot 5) of these files. Patch it again as a new multi?";

        const QByteArray idxPatched = bytesOf(idx_);
        const QByteArray mulPatched = bytesOf(mul_);
        const QString sameIdxOtherSpelling =
            QFileInfo(idx_).absolutePath() + "/./" + QFileInfo(idx_).fileName();
        const struct {
            const char* step;
            std::function<void()> prepare;
        } noes[] = {
            {"a path box edited", [&] { box("txtMultiIdx")->setText(idx_ + " "); }},
            {"the same script loaded again", [&] { load(example("house.wsc")); }},
            {"the same file spelled otherwise", [&] { box("txtMultiIdx")->setText(sameIdxOtherSpelling); }},
            {"the next day: the program ended and started again",
             [&] {
                 QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
                 window_.reset();
                 start();  // the paths come from the settings stored on Exit
                 load(example("house.wsc"));
             }},
        };
        for (const auto& step : noes) {
            fake_->questions.clear();
            step.prepare();
            QVERIFY2(button("cmdPatch")->isEnabled(), step.step);
            patch();  // the question's default answer is No
            QCOMPARE(fake_->questions.size(), std::size_t{1});
            QCOMPARE(fake_->questions[0].text, question);
            QCOMPARE(fake_->questions[0].caption, QString("Keelwright"));
            QCOMPARE(bytesOf(idx_), idxPatched);
            QCOMPARE(bytesOf(mul_), mulPatched);
            QVERIFY(fake_->messages.empty());
            // The multi stays where it is, and its scripts get that slot.
            QCOMPARE(label("lblStatus")->text(), QString("Not patched again"));
            QVERIFY(!button("cmdPatch")->isEnabled());
            QCOMPARE(window_->workspace().PatchSlot, 5);
        }
        fillDetails();
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QVERIFY(scriptsText() != nullptr && scriptsText()->toPlainText().contains("\n[4004]\n"));

        box("txtMultiIdx")->setText(idx_);

        fake_->questionAnswers = {true};
        patch();
        QCOMPARE(window_->workspace().PatchSlot, 7);  // slot 6 holds a multi of the example files
        QCOMPARE(bytesOf(mul_).size(), 456 + 2 * 27 * 12);

        // Other client files ask nothing.
        QDir(dir_->path()).mkdir("other");
        const QString otherIdx = file("other/Multi.idx", bytesOf(example("client/Multi.idx")));
        const QString otherMul = file("other/Multi.mul", bytesOf(example("client/Multi.mul")));
        box("txtMultiIdx")->setText(otherIdx);
        box("txtMultiMul")->setText(otherMul);
        fake_->questions.clear();
        patch();
        QVERIFY(fake_->questions.empty());
        QCOMPARE(window_->workspace().PatchSlot, 5);
        QCOMPARE(bytesOf(otherMul).size(), 456 + 27 * 12);
    }

    void createScriptCannotRunWhileNoLoadHasSucceeded() {
        start();
        option("optTxt")->click();
        load(file("broken.txt", "6 version\r\n1 template id\r\n-1 item version\r\nmany num components\r\n"));
        QVERIFY(!button("cmdCreateScript")->isEnabled());
        for (const char* name : kDetailBoxes) {
            QTest::keyClicks(box(name), "7");  // a disabled box takes no typing
            box(name)->setText("7");           // nor does text put there count
        }
        QVERIFY(!button("cmdCreateScript")->isEnabled());
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QVERIFY(fake_->messages.empty());
        QCOMPARE(scriptsText(), nullptr);
    }

    void dialogsOpenWhereTheFilesAre() {
        QDir(dir_->path()).mkdir("idx");
        QDir(dir_->path()).mkdir("mul");
        const QString idx = clientFile("idx/Multi.idx");
        const QString mul = clientFile("mul/Multi.mul");
        const QString idxFolder = QFileInfo(idx).absolutePath();
        const QString mulFolder = QFileInfo(mul).absolutePath();
        const struct {
            QString idxText;
            QString mulText;
            const char* browse;
            QString folder;
        } cases[] = {
            {idx, mul, "Command1", idxFolder},   {idx, mul, "Command2", mulFolder},
            {"", mul, "Command1", mulFolder},    {dir_->filePath("idx/gone.idx"), mul, "Command1", mulFolder},
            {idx, "   ", "Command2", idxFolder}, {"", "", "Command1", ""},
        };
        start();
        load(example("house.wsc"));  // the dialog's name field never offers the script
        for (const auto& c : cases) {
            box("txtMultiIdx")->setText(c.idxText);
            box("txtMultiMul")->setText(c.mulText);
            QTest::mouseClick(button(c.browse), Qt::LeftButton);  // cancelled
            QCOMPARE(fake_->fileRequests.back().folder, c.folder);
        }

        // Load Script starts in the folder of the last script, kept from one run to the next.
        restartWindowTest();
        fake_->store = {{"Keelwright/Files/LastScriptFolder", idxFolder}};
        start();
        load(QString());
        QCOMPARE(fake_->fileRequests.back().folder, idxFolder);
        load(example("house.wsc"));
        load(QString());
        QCOMPARE(fake_->fileRequests.back().folder, QFileInfo(example("house.wsc")).absolutePath());
        QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
        QCOMPARE(fake_->store["Keelwright/Files/LastScriptFolder"],
                 QFileInfo(example("house.wsc")).absolutePath());
    }

    void pathBoxesAreCheckedAgainWhenTheWindowIsActivated() {
        startWithClientFiles();
        load(example("house.wsc"));
        patch();
        const QByteArray mulBytes = bytesOf(mul_);
        comeBackToTheWindow();
        QVERIFY(!button("cmdPatch")->isEnabled());  // nothing changed: the patched multi stays patched

        QFile::remove(mul_);
        comeBackToTheWindow();
        QCOMPARE(BoxColour(box("txtMultiMul")), MainWindow::kInvalidPath);
        QCOMPARE(window_->workspace().MultiMulPath, QString());
        QCOMPARE(BoxColour(box("txtMultiIdx")), MainWindow::kValidPath);

        file("Multi.mul", mulBytes);
        comeBackToTheWindow();
        QCOMPARE(BoxColour(box("txtMultiMul")), MainWindow::kValidPath);
        QCOMPARE(window_->workspace().MultiMulPath, mul_);
        QVERIFY(button("cmdPatch")->isEnabled());  // as after any edit of a path box
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::MainWindowStateTest)
#include "MainWindowStateTest.moc"
