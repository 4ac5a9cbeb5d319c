// What a new user meets on a first run: path boxes that check what the files hold, scripts of either type
// found and loaded as what they are, a question before scripts for an empty number, tool windows beside
// the main window, and a status line that says what happened.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableWidget>

#include "WindowHarness.h"
#include "app/ChoiceDialog.h"
#include "app/ClientMultisWindow.h"
#include "app/PreviewWindow.h"
#include "app/ScriptsWindow.h"
#include "app/ToolWindowPlacement.h"

namespace keelwright::test {

class FirstUseTest : public QObject, public WindowHarness {
    Q_OBJECT

    void clickOn(QWidget* parent, const char* name) {
        auto* found = parent->findChild<QPushButton*>(name);
        if (found == nullptr) {
            qFatal("no button named %s", name);
        }
        QTest::mouseClick(found, Qt::LeftButton);
    }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void aPathBoxIsGreenOnlyForTheFileItAsksForAndSaysWhyNot() {
        const QByteArray idxBytes = bytesOf(example("client/Multi.idx"));
        const QByteArray mulBytes = bytesOf(example("client/Multi.mul"));
        const struct {
            const char* box;
            const char* name;
            QByteArray bytes;
            const char* reason;
        } cases[] = {
            {"txtMultiIdx", "art.idx", idxBytes + "abcd",
             "art.idx is not a Multi.idx: 4 bytes past the last whole"},
            {"txtMultiIdx", "MultiCollection.uop", bytesOf(example("client/MultiCollection.uop")),
             "MultiCollection.uop is a MultiCollection container"},
            {"txtMultiMul", "house.wsc", bytesOf(example("house.wsc")), "house.wsc is a text file"},
            {"txtMultiCollection", "Multi.uop", mulBytes, "Multi.uop is not a UOP file"},
            {"txtMultiMul", "art.mul", mulBytes + QByteArray(4, '\0'),
             "art.mul is not a Multi.mul: 4 bytes past"},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            startWithClientFiles();
            box("txtMultiCollection")->setText(clientFile("MultiCollection.uop"));
            load(example("house.wsc"));
            QVERIFY(button("cmdPatch")->isEnabled());
            const QString right = box(c.box)->text();
            box(c.box)->setText(file(c.name, c.bytes));
            QVERIFY2(BoxColour(box(c.box)) == MainWindow::kInvalidPath, c.name);
            QVERIFY2(box(c.box)->toolTip().startsWith(c.reason), qPrintable(box(c.box)->toolTip()));
            QVERIFY2(label("lblStatus")->text().contains(c.reason), qPrintable(label("lblStatus")->text()));
            if (std::string_view(c.box) != "txtMultiCollection") {
                QVERIFY(!button("cmdPatch")->isEnabled());
                QVERIFY2(label("lblStatus")
                             ->text()
                             .startsWith(QString("Patch Multi waits for the ") +
                                         (c.box[8] == 'I' ? "Multi.idx" : "Multi.mul")),
                         qPrintable(label("lblStatus")->text()));
            }
            box(c.box)->setText(right);
            QCOMPARE(BoxColour(box(c.box)), MainWindow::kValidPath);
            QVERIFY(button("cmdPatch")->isEnabled());
            QCOMPARE(label("lblStatus")->text(), QString());
        }
    }

    void swappedPathsAreNamedAsSwappedBeforeAnythingIsWritten() {
        startWithClientFiles();
        load(example("house.wsc"));
        box("txtMultiIdx")->setText(mul_);
        box("txtMultiMul")->setText(idx_);
        QVERIFY(!button("cmdPatch")->isEnabled());
        QVERIFY2(box("txtMultiMul")->toolTip().contains("Multi.idx and Multi.mul seem to be swapped"),
                 qPrintable(box("txtMultiMul")->toolTip()));
        QVERIFY(label("lblStatus")->text().contains("seem to be swapped"));
    }

    void aScriptOfTheOtherTypeLoadsAsWhatItIsAndTheStatusSaysSo() {
        const struct {
            const char* option;
            QString script;
            QString status;  // empty: the load fails
        } cases[] = {
            {"optTxt", example("house.wsc"), "Loaded house.wsc as a WSC export, not multi text: 26 tiles"},
            {"optWsc", example("house.txt"), "Loaded house.txt as multi text, not a WSC export: 26 tiles"},
            {"optWsc", example("house.wsc"), "Loaded house.wsc: 26 tiles"},
            {"optTxt", "", ""},  // a file that is neither keeps the reason of the type picked
        };
        for (const auto& c : cases) {
            restartWindowTest();
            start();
            option(c.option)->click();
            const QString script = c.script.isEmpty() ? file("notes.txt", "some notes\r\n") : c.script;
            load(script);
            QVERIFY(fake_->fileRequests.back().filter.startsWith("All scripts (*.txt *.wsc *.uoa *.csv)|"));
            if (c.status.isEmpty()) {
                QVERIFY2(label("lblStatus")->text().startsWith("Load failed: notes.txt:"),
                         qPrintable(label("lblStatus")->text()));
                QVERIFY(!button("cmdPatch")->isEnabled());
                continue;
            }
            QCOMPARE(label("lblStatus")->text(), c.status);
            QCOMPARE(window_->workspace().table.Count, 26);
        }
    }

    void theListOfDesignsTakesTheSelectionOnEnterAndNothingOnEscape() {
        const struct {
            QList<int> keys;
            std::optional<int> chosen;
        } cases[] = {
            {{Qt::Key_Return}, 0},
            {{Qt::Key_Down, Qt::Key_Enter}, 1},
            {{Qt::Key_Down, Qt::Key_Escape}, std::nullopt},
        };
        for (const auto& c : cases) {
            QWidget opener;
            ChoiceDialog dialog(&opener, "house.uoa holds several designs. Load which one?",
                                "Choose a design", {"Design", "Name", "Category", "Tiles"},
                                {{"1", "Tower", "Keeps", "120"}, {"2", "Hut", "Houses", "4"}});
            dialog.show();
            auto* list = dialog.findChild<QTableWidget*>("tblChoices");
            for (const int key : c.keys) {
                QTest::keyClick(list, static_cast<Qt::Key>(key));
            }
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.chosenRow(), c.chosen);
        }
    }

    void anOpenPreviewShowsTheMultiJustLoaded() {
        start();
        load(example("house.wsc"));
        QTest::mouseClick(button("cmdPreview"), Qt::LeftButton);
        auto* preview = window_->findChild<PreviewWindow*>("frmPreview");
        QVERIFY(preview != nullptr);
        QCOMPARE(preview->windowTitle(), QString("Preview - house.wsc"));
        option("optTxt")->click();
        load(file("one.txt",
                  "6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n1709 0 0 0\r\n"));
        QCOMPARE(preview->windowTitle(), QString("Preview - one.txt"));
    }

    void createScriptForATypedNumberThatHoldsNothingAsksFirst() {
        const struct {
            const char* typed;
            std::optional<bool> answer;  // nothing: no question is asked
            bool written;
        } cases[] = {
            {"0xA", false, false},
            {"10", true, true},
            {"0x2", std::nullopt, true},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            startWithClientFiles();
            load(example("house.wsc"));
            QTest::keyClicks(box("txtMultiName"), "Mill");
            QTest::keyClicks(box("txtBuyValue"), "1");
            QTest::keyClicks(box("txtSellValue"), "1");
            box("txtMultiNumber")->setText(c.typed);
            if (c.answer) {
                fake_->questionAnswers.push_back(*c.answer);
            }
            QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
            QCOMPARE(fake_->questions.size(), std::size_t{c.answer ? 1u : 0u});
            if (c.answer) {
                QCOMPARE(fake_->questions[0].text,
                         QString("Multi 0xA (10) is free in these files. Write its scripts anyway?"));
            }
            QCOMPARE(window_->findChild<ScriptsWindow*>("frmMultiScripts") != nullptr, c.written);
        }
    }

    void afterAPatchTheStatusSaysHowToPatchOtherFilesAndTheyCanBe() {
        startWithClientFiles();
        load(example("house.wsc"));
        patch();
        QVERIFY(!button("cmdPatch")->isEnabled());
        QVERIFY2(
            label("lblStatus")->toolTip().contains("choose other client files to patch it into them too"),
            qPrintable(label("lblStatus")->toolTip()));
        QDir(dir_->path()).mkdir("second");
        const QString idx2 = file("second/Multi.idx", bytesOf(example("client/Multi.idx")));
        const QString mul2 = file("second/Multi.mul", bytesOf(example("client/Multi.mul")));
        box("txtMultiIdx")->setText(idx2);
        box("txtMultiMul")->setText(mul2);
        QVERIFY(button("cmdPatch")->isEnabled());
        patch();
        QCOMPARE(label("lblStatus")->text(), QString("Patching completed"));
        QVERIFY(bytesOf(mul2).size() > bytesOf(example("client/Multi.mul")).size());
    }

    void toolWindowsGoBesideTheOpenWindowsAndNeverOverTheMainWindow() {
        const struct {
            const char* what;
            QRect room;
            QList<QRect> open;  // the main window first
            QSize wanted;
            bool whole;       // else smaller
            bool clearOfAll;  // else clear of the main window's commands only (its right 116 pixels)
        } cases[] = {
            {"1x, beside the main window",
             {0, 0, 1600, 1000},
             {{565, 335, 470, 330}},
             {540, 480},
             true,
             true},
            {"1x, too wide for the room",
             {0, 0, 1600, 1000},
             {{565, 335, 470, 330}},
             {640, 480},
             false,
             true},
            {"1x, beside both",
             {0, 0, 1600, 1000},
             {{565, 335, 470, 330}, {1043, 335, 540, 480}},
             {500, 400},
             true,
             true},
            {"2x, the third window",
             {0, 0, 800, 500},
             {{0, 0, 470, 330}, {478, 0, 322, 480}},
             {400, 300},
             false,
             true},
            {"2x, no room beside the main window",
             {0, 0, 800, 500},
             {{165, 50, 470, 400}},
             {640, 480},
             false,
             false},
        };
        const QSize least(160, 120);
        for (const auto& c : cases) {
            const QRect main = c.open.front();
            const QRect commands(main.right() - 115, main.top(), 116, main.height());
            const std::optional<QRect> place = ToolWindowPlace(c.wanted, least, c.open, c.room, 8, commands);
            QVERIFY2(place.has_value(), c.what);
            QVERIFY2(c.room.contains(*place), c.what);
            QVERIFY2(!commands.intersects(*place), c.what);
            for (const QRect& open : c.open) {
                QVERIFY2(!c.clearOfAll || !open.intersects(*place), c.what);
            }
            QVERIFY2(place->width() >= least.width() && place->height() >= least.height(), c.what);
            QCOMPARE(place->size() == c.wanted, c.whole);
        }
        // A main window that fills the screen leaves no room: the caller then centres the window over it.
        QVERIFY(!ToolWindowPlace({400, 300}, least, {{0, 0, 800, 500}}, {0, 0, 800, 500}, 8));
    }

    void clientMultisAndItsPreviewOpenClearOfTheMainWindow() {
        startWithClientFiles();
        window_->move(window_->screen()->availableGeometry().topLeft());
        QTest::mouseClick(button("cmdClientMultis"), Qt::LeftButton);
        auto* multis = window_->findChild<ClientMultisWindow*>("frmClientMultis");
        QVERIFY(multis != nullptr);
        multis->selectMulti(2);
        clickOn(multis, "cmdPreview");
        auto* preview = window_->findChild<PreviewWindow*>("frmPreview");
        QVERIFY(preview != nullptr);
        const QRect main = window_->frameGeometry();
        QVERIFY2(!multis->frameGeometry().intersects(main), "Client multis covers the main window");
        QVERIFY2(!preview->frameGeometry().intersects(main), "the preview covers the main window");
        QVERIFY2(!preview->frameGeometry().intersects(multis->frameGeometry()),
                 "the preview covers the list");
    }

    void extractInClientMultisOpensInTheScriptFolderAndWritesTheFormatOfTheName() {
        startWithClientFiles();
        load(example("house.wsc"));
        QTest::mouseClick(button("cmdClientMultis"), Qt::LeftButton);
        auto* multis = window_->findChild<ClientMultisWindow*>("frmClientMultis");
        multis->selectMulti(2);
        const struct {
            const char* name;
            const char* starts;
        } cases[] = {
            {"two.csv", "TileID,OffsetX,OffsetY,OffsetZ,Flag"},
            {"two.wsc", "SECTION WORLDITEM"},
            {"two.txt", "6 version\r\n"},
        };
        QString folder = QFileInfo(example("house.wsc")).absolutePath();
        for (const auto& c : cases) {
            const QString target = dir_->filePath(c.name);
            fake_->saveAnswers.push_back(target);
            clickOn(multis, "cmdExtract");
            QCOMPARE(fake_->saveRequests.back().first.folder, folder);
            QVERIFY(fake_->saveRequests.back().first.filter.contains("*.uoa"));
            QVERIFY2(bytesOf(target).startsWith(c.starts), bytesOf(target).left(60).constData());
            folder = dir_->path();  // the next extract opens where this one wrote
        }
        // Exact writes multi text alone.
        multis->findChild<QCheckBox*>("chkExact")->setChecked(true);
        fake_->saveAnswers.push_back(dir_->filePath("exact.csv"));
        clickOn(multis, "cmdExtract");
        QVERIFY(!QFile::exists(dir_->filePath("exact.csv")));
        QCOMPARE(fake_->messages.back().icon, MessageIcon::Warning);
    }

    void theScriptsWindowSavesTheScriptsAndNamesTheFileOfTheFormat() {
        startWithClientFiles();
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Mill");
        QTest::keyClicks(box("txtBuyValue"), "1");
        QTest::keyClicks(box("txtSellValue"), "1");
        patch();
        const struct {
            const char* option;
            QString hint;
        } cases[] = {
            {"optVer54", "Copy these scripts to your sphereitems2.scp"},
            {"optVerX", ScriptsWindow::kVerXHint},
        };
        for (const auto& c : cases) {
            option(c.option)->click();
            QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
            auto* scripts = window_->findChild<ScriptsWindow*>("frmMultiScripts");
            QCOMPARE(scripts->findChild<QLabel*>("Label1")->text(), c.hint);
        }
        auto* scripts = window_->findChild<ScriptsWindow*>("frmMultiScripts");
        const QString target = dir_->filePath("mill.scp");
        fake_->saveAnswers.push_back(target);
        clickOn(scripts, "cmdSave");
        const QByteArray saved = bytesOf(target);
        QVERIFY(saved.contains("[MULTIDEF"));
        QCOMPARE(saved.count("\r\n"), saved.count("\n"));
        QCOMPARE(QString::fromLatin1(saved).replace("\r\n", "\n"),
                 scripts->findChild<QPlainTextEdit*>("txtScripts")->toPlainText());
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::FirstUseTest)
#include "FirstUseTest.moc"
