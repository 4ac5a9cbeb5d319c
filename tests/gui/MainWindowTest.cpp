#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include <QPlainTextEdit>

#include "WindowHarness.h"
#include "app/QtSettingsStore.h"
#include "app/QtText.h"
#include "model/PathText.h"

namespace keelwright::test {

class MainWindowTest : public QObject, private WindowHarness {
    Q_OBJECT

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void firstRunShowsTheWindowAsCreatedWithBothPathsRed() {
        start();
        QCOMPARE(window_->windowTitle(), QString("Keelwright 1.0"));
        QCOMPARE(window_->size(), QSize(487, 468));  // Shard… below Client multis… adds a button row
        QVERIFY(!window_->windowIcon().isNull());
        for (const char* name : {"txtMultiIdx", "txtMultiMul"}) {
            QCOMPARE(box(name)->text(), QString());
            QCOMPARE(BoxColour(box(name)), MainWindow::kInvalidPath);
        }
        QCOMPARE(box("txtMultiCollection")->text(), QString());  // optional: blank is no UOP, not a fault
        QCOMPARE(BoxColour(box("txtMultiCollection")), MainWindow::kBoxOpen);
        for (const char* name : {"txtMultiName", "txtBuyValue", "txtSellValue"}) {
            QVERIFY(!box(name)->isEnabled());
            QCOMPARE(BoxColour(box(name)), MainWindow::kBoxAsCreated);
        }
        QVERIFY(option("optWsc")->isChecked());
        QVERIFY(!option("optTxt")->isChecked());
        QVERIFY(option("optVer51a")->isChecked());
        QVERIFY(!option("optVer54")->isChecked());
        QVERIFY(!option("optVerX")->isChecked());
        QCOMPARE(option("optVerX")->text(), QString("Ver. X"));
        QCOMPARE(option("optVerX")->toolTip(), QString("Sphere 0.56d and X: MULTIDEF sections"));
        QVERIFY(!button("cmdPatch")->isEnabled());
        QVERIFY(!button("cmdCreateScript")->isEnabled());
        QVERIFY(button("cmdLoad")->isEnabled());
        QVERIFY(button("cmdExtract")->isHidden());
        QVERIFY(child<QCheckBox>("chkScriptOnly")->isHidden());
        QCOMPARE(label("lblItems")->text(), QString("0"));
        QCOMPARE(label("txtComponents")->text(), QString("18"));
        QCOMPARE(label("lblStatus")->text(), QString());
        QCOMPARE(window_->focusWidget(), box("txtMultiIdx"));  // the first control that takes the focus
        QCOMPARE(fake_->saves, 0);
    }

    void aMissingComponentsListStartsWithAnEmptyListAndSaysSo() {
        start(dir_->filePath("Components.txt"));
        QCOMPARE(label("txtComponents")->text(), QString("0"));
        QVERIFY(label("lblStatus")->text().startsWith("Components.txt could not be"));
        QVERIFY(label("lblStatus")->toolTip().contains("file not found"));
        QVERIFY(window_->workspace().components.empty());
    }

    void everyCaptionFitsItsControl() {
        start();
        for (const auto* control : window_->findChildren<QWidget*>()) {
            QString text;
            int room = control->width();
            if (const auto* l = qobject_cast<const QLabel*>(control)) {
                text = l->text();
            } else if (const auto* b = qobject_cast<const QAbstractButton*>(control)) {
                text = b->text().remove('&');
                room -=
                    qobject_cast<const QPushButton*>(control) ? 8 : 22;  // bevel, or the mark of an option
            } else if (const auto* g = qobject_cast<const QGroupBox*>(control)) {
                text = g->title();
            }
            const int needed = control->fontMetrics().horizontalAdvance(text);
            QVERIFY2(needed <= room, qPrintable(control->objectName() + ": '" + text + "' needs " +
                                                QString::number(needed) + " of " + QString::number(room)));
        }
    }

    void aPathIsCheckedAtEveryKeystroke() {
        start();
        const QString path = clientFile("Multi.idx");
        QLineEdit* idx = box("txtMultiIdx");
        idx->setFocus();
        for (qsizetype typed = 1; typed <= path.size(); ++typed) {
            QTest::keyClick(idx, path[typed - 1].toLatin1());
            const bool complete = typed == path.size();
            QCOMPARE(BoxColour(idx), complete ? MainWindow::kValidPath : MainWindow::kInvalidPath);
            QCOMPARE(window_->workspace().MultiIdxPath, complete ? path : QString());
        }
        QTest::keyClick(idx, 'x');
        QCOMPARE(BoxColour(idx), MainWindow::kInvalidPath);
        QCOMPARE(window_->workspace().MultiIdxPath, QString());

        // Spaces around the path are not part of it; a folder is not a client file.
        idx->setText("  " + path + " ");
        QCOMPARE(window_->workspace().MultiIdxPath, path);
        QCOMPARE(BoxColour(idx), MainWindow::kValidPath);
        idx->setText(dir_->path());
        QCOMPARE(BoxColour(idx), MainWindow::kInvalidPath);
    }

    void patchNeedsALoadedScriptAndBothPathsValid() {
        start();
        box("txtMultiIdx")->setText(clientFile("Multi.idx"));
        box("txtMultiMul")->setText(clientFile("Multi.mul"));
        QVERIFY(!button("cmdPatch")->isEnabled());
        load(example("house.wsc"));
        QVERIFY(button("cmdPatch")->isEnabled());
        box("txtMultiMul")->setText(dir_->filePath("gone.mul"));
        QVERIFY(!button("cmdPatch")->isEnabled());
        box("txtMultiMul")->setText(clientFile("Multi.mul"));
        QVERIFY(button("cmdPatch")->isEnabled());
    }

    void browseSetsThePathAndTurnsItsBoxGreen() {
        start();
        const QString idx = clientFile("Multi.idx");
        fake_->fileAnswers = {idx};
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(fake_->fileRequests.back().filter, QString("Multi.idx files (*.idx)|*.idx"));
        QCOMPARE(fake_->fileRequests.back().title, QString("Browse for the multi.idx file"));
        QCOMPARE(fake_->fileRequests.back().defaultExtension, QString(".txt"));
        QCOMPARE(box("txtMultiIdx")->text(), idx);
        QCOMPARE(window_->workspace().MultiIdxPath, idx);
        QCOMPARE(BoxColour(box("txtMultiIdx")), MainWindow::kValidPath);

        // A cancelled dialog changes nothing.
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(fake_->fileRequests.back().filter, QString("Multi.mul file (*.mul)|*.mul"));
        QCOMPARE(fake_->fileRequests.back().title, QString("Browse for the multi.mul file"));
        QCOMPARE(box("txtMultiMul")->text(), QString());
        QCOMPARE(BoxColour(box("txtMultiMul")), MainWindow::kInvalidPath);

        // A path equal to the box's text is checked all the same: green means an existing file.
        const QString mul = clientFile("Multi.mul");
        const QString vanished = dir_->filePath("vanished.mul");
        for (const QString& path : {mul, vanished}) {
            box("txtMultiMul")->setText(path);
            fake_->fileAnswers = {path};
            QTest::mouseClick(button("Command2"), Qt::LeftButton);
            QCOMPARE(window_->workspace().MultiMulPath, path == mul ? mul : QString());
            QCOMPARE(BoxColour(box("txtMultiMul")),
                     path == mul ? MainWindow::kValidPath : MainWindow::kInvalidPath);
        }
    }

    void createScriptNeedsNonBlankDetails() {
        start();
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Mill");
        QTest::keyClicks(box("txtBuyValue"), "   ");
        QTest::keyClicks(box("txtSellValue"), "100");
        QVERIFY(!button("cmdCreateScript")->isEnabled());
        QTest::keyClicks(box("txtBuyValue"), "5");
        QVERIFY(button("cmdCreateScript")->isEnabled());

        // Text that arrives without a key press counts at once.
        box("txtSellValue")->setText("  ");
        QVERIFY(!button("cmdCreateScript")->isEnabled());
    }

    void loadingEitherScriptTypeOpensTheScriptDetails() {
        start();
        struct Case {
            const char* option;
            const char* script;
            const char* title;
        };
        const Case cases[] = {
            {"optWsc", "house.wsc", "Import an exported wsc file"},
            {"optTxt", "house.txt", "Import Multi.txt file"},
            // The other tools' files load by their extension under either option.
            {"optWsc", "house.uoa", "Import an exported wsc file"},
            {"optTxt", "house.csv", "Import Multi.txt file"},
        };
        for (const Case& c : cases) {
            option(c.option)->click();
            child<QCheckBox>("chkScriptOnly")->setChecked(true);
            load(example(c.script));
            // Every type is listed whatever the option, all of them first.
            QCOMPARE(
                fake_->fileRequests.back().filter,
                QString("All scripts (*.txt *.wsc *.uoa *.csv)|*.txt *.wsc *.uoa *.csv Designs.idx|Multi.txt "
                        "files (*.txt)|*.txt|Exported file from sphere (*.wsc)|*.wsc|UO Architect designs "
                        "(*.uoa)|*.uoa|UO Architect library (Designs.idx)|Designs.idx|CSV tile lists "
                        "(*.csv)|*.csv"));
            QCOMPARE(fake_->fileRequests.back().title, QString(c.title));
            QCOMPARE(label("lblItems")->text(), QString("26"));
            QCOMPARE(window_->workspace().table.Count, 26);
            QCOMPARE(window_->workspace().ScriptPath, example(c.script));
            for (const char* name : {"txtMultiName", "txtBuyValue", "txtSellValue"}) {
                QVERIFY(box(name)->isEnabled());
                QCOMPARE(BoxColour(box(name)), MainWindow::kBoxOpen);
            }
            QCOMPARE(window_->focusWidget(), box("txtMultiName"));
            QVERIFY(button("cmdPatch")->isEnabled());  // even with both paths invalid
            QVERIFY(!child<QCheckBox>("chkScriptOnly")->isChecked());
            QVERIFY(child<QCheckBox>("chkScriptOnly")->isEnabled());
            QVERIFY(!fake_->busy);
        }
        QCOMPARE(fake_->busySpells, 4);
        // Every form of the example loads to the same multi, its door marked as a component.
        QCOMPARE(window_->workspace().table.Flags[14], std::string_view("0"));
    }

    void aFileOfSeveralTemplatesOffersThemInAListAndEscapeKeepsTheMultiLoadedBefore() {
        start();
        option("optTxt")->click();
        const QString two = file("two.txt",
                                 "6 version\r\n1 template id\r\n-1 item version\r\n1\r\n600 0 0 0\r\n"
                                 "6 version\r\n4 template id\r\n-1 item version\r\n2\r\n"
                                 "601 0 0 0\r\n602 1 1 0\r\n");
        fake_->rowAnswers = {1, std::nullopt};
        load(two);
        QCOMPARE(fake_->choices.back().headers, QStringList({"Template id", "Tiles"}));
        QCOMPARE(fake_->choices.back().rows, QList<QStringList>({{"1", "1"}, {"4", "2"}}));
        QCOMPARE(window_->workspace().table.Count, 2);
        QCOMPARE(label("lblStatus")->text(), QString("Loaded two.txt (template id 4): 2 tiles"));
        load(two);  // Escape: the template loaded before stays, and nothing failed
        QCOMPARE(window_->workspace().table.Count, 2);
        QCOMPARE(label("lblStatus")->text(),
                 QString("Nothing loaded: no template chosen; two.txt is still loaded"));
        QVERIFY(fake_->messages.empty());
        QVERIFY(!fake_->busy);
    }

    void withNeitherTypeSelectedTheWscReaderIsUsed() {
        fake_->store = {{"Keelwright/Settings/OptWsc", "False"},
                        {"Keelwright/Settings/OptTxt", "False"},
                        {"Keelwright/Settings/optVer54", "False"},
                        {"Keelwright/Settings/OptVer51a", "True"}};
        start();
        load(example("house.wsc"));
        QCOMPARE(fake_->fileRequests.back().title, QString("Import an exported wsc file"));
        QCOMPARE(label("lblItems")->text(), QString("26"));
    }

    void aCancelledLoadChangesNothing() {
        start();
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Mill");
        load(QString());
        QCOMPARE(window_->workspace().table.Count, 26);
        QCOMPARE(box("txtMultiName")->text(), QString("Mill"));
        QVERIFY(button("cmdPatch")->isEnabled());
        QCOMPARE(fake_->busySpells, 1);
    }

    void aFailedLoadSaysWhyAndKeepsTheMultiLoadedBefore() {
        start();
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Mill");
        option("optTxt")->click();
        load(file("broken.txt", "6 version\r\n1 template id\r\n-1 item version\r\nmany num components\r\n"));
        QVERIFY(button("cmdPatch")->isEnabled());
        QCOMPARE(box("txtMultiName")->text(), QString("Mill"));
        QVERIFY(label("lblStatus")->text().startsWith("Load failed: broken.txt:4: component count"));
        QVERIFY(
            label("lblStatus")
                ->toolTip()
                .contains(
                    "broken.txt:4: component count \"many\" is not a number: expected three header lines"));
        QVERIFY(fake_->messages.empty());
        QVERIFY(!fake_->busy);
        QCOMPARE(label("lblItems")->text(), QString("26"));  // the house is still loaded
    }

    void aSecondLoadReplacesTheFirst() {
        start();
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Mill");
        option("optTxt")->click();
        load(file("one.txt",
                  "6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n1709 5 5 0\r\n"));
        QCOMPARE(window_->workspace().table.Count, 1);
        QCOMPARE(label("lblItems")->text(), QString("1"));
        QCOMPARE(box("txtMultiName")->text(), QString("Mill"));  // the details are kept across loads
        QCOMPARE(window_->workspace().table.X[0], std::string_view("0"));
    }

    // Loads a multi and fills in the script details; Scripts Only stands in for a patch.
    void prepareScripts(bool scriptsOnly) {
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Lakeside Mill");
        QTest::keyClicks(box("txtBuyValue"), "25000");
        QTest::keyClicks(box("txtSellValue"), "12500");
        if (scriptsOnly) {
            child<QCheckBox>("chkScriptOnly")->click();  // hidden from users, but its rule still holds
        }
    }

    QPlainTextEdit* scriptsText() {
        QWidget* scripts = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "frmMultiScripts" && top->isVisible()) {
                if (scripts != nullptr) {
                    qFatal("a second scripts window is open");
                }
                scripts = top;
            }
        }
        return scripts == nullptr ? nullptr : scripts->findChild<QPlainTextEdit*>("txtScripts");
    }

    void createScriptRefusesWhileTheMultiIsNotPatched() {
        start();
        prepareScripts(false);
        QVERIFY(button("cmdCreateScript")->isEnabled());
        label("lblStatus")->setText("before");
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QCOMPARE(fake_->beeps, 1);
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QCOMPARE(fake_->messages[0].text,
                 QString("You need to patch the multi before you can create the scripts"));
        QCOMPARE(fake_->messages[0].caption, QString("Script Creation Failed"));
        QCOMPARE(fake_->messages[0].icon, MessageIcon::Warning);
        QCOMPARE(label("lblStatus")->text(), QString("before"));
        QCOMPARE(scriptsText(), nullptr);
    }

    void createScriptShowsTheChosenFormatAndASecondRunReplacesTheText() {
        start();
        prepareScripts(true);
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QPlainTextEdit* text = scriptsText();
        QVERIFY(text != nullptr);
        QVERIFY(text->toPlainText().contains("\n[3FFF]\nNAME=Lakeside Mill\n"));
        QVERIFY(text->toPlainText().contains("\nCOMPONENT=0A6, -2, -3, 20\n"));  // Scripts Only: every tile
        QCOMPARE(label("lblStatus")->text(), QString("Scripts Completed"));
        QVERIFY(!fake_->busy);

        option("optVer54")->click();
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QCOMPARE(scriptsText(), text);
        QVERIFY(text->toPlainText().startsWith("/////"));
        QVERIFY(text->toPlainText().contains("\n[ITEMDEF 03FFF]\nDEFNAME=i_Lakeside_Mill\n"));
        QVERIFY(!text->toPlainText().contains("[3FFF]"));
        QVERIFY(fake_->messages.empty());
    }

    void createScriptInVerXBeforeAnyPatchSaysThatTheMultiMustBePatchedFirst() {
        for (const bool scriptsOnly : {false, true}) {  // Scripts Only, which needs no patch otherwise
            restartWindowTest();
            start();
            prepareScripts(scriptsOnly);
            option("optVerX")->click();
            label("lblStatus")->setText("before");
            QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
            QCOMPARE(fake_->beeps, 1);
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            QCOMPARE(fake_->messages[0].text,
                     QString("You need to patch the multi before you can create the scripts"));
            QCOMPARE(fake_->messages[0].icon, MessageIcon::Warning);
            QCOMPARE(label("lblStatus")->text(), QString("before"));
            QCOMPARE(scriptsText(), nullptr);
            QVERIFY(!fake_->busy);
        }
    }

    void createScriptWithNoFormatSelectedSaysSoAndStillCompletes() {
        fake_->store = {{"Keelwright/Settings/OptWsc", "True"},
                        {"Keelwright/Settings/OptTxt", "False"},
                        {"Keelwright/Settings/optVer54", "False"},
                        {"Keelwright/Settings/OptVer51a", "False"}};
        start();
        prepareScripts(true);
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QCOMPARE(fake_->beeps, 1);
        QCOMPARE(fake_->messages.back().text,
                 QString("Please select which script format you wish to create."));
        QCOMPARE(fake_->messages.back().caption, QString("Keelwright"));
        QCOMPARE(scriptsText(), nullptr);
        QCOMPARE(label("lblStatus")->text(), QString("Scripts Completed"));
    }

    void aScriptWriterErrorIsReportedAndShowsNoText() {
        start();
        option("optTxt")->click();
        load(file("odd.txt",
                  "6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n"
                  "1709 0 0 0\r\n"));
        QTest::keyClicks(box("txtMultiName"), "Odd");
        QTest::keyClicks(box("txtBuyValue"), "1");
        QTest::keyClicks(box("txtSellValue"), "1");
        child<QCheckBox>("chkScriptOnly")->click();
        const_cast<ComponentTable&>(window_->workspace().table).ItemId.set(0, "door");
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY(fake_->messages[0].text.startsWith("Component 1: item id \"door\""));
        QCOMPARE(fake_->messages[0].caption, QString("Keelwright"));
        QCOMPARE(scriptsText(), nullptr);
        QCOMPARE(label("lblStatus")->text(), QString("Script creation failed"));
        QVERIFY(!fake_->busy);
    }

    void exitStoresTheSettingsAndTheScriptDetailsAndEndsTheProgram() {
        start();
        const QString idx = clientFile("Multi.idx");
        box("txtMultiIdx")->setText(idx);
        box("txtMultiMul")->setText(dir_->filePath("missing.mul"));
        load(example("house.wsc"));
        QTest::keyClicks(box("txtMultiName"), "Mill");
        QTest::keyClicks(box("txtBuyValue"), "12000");
        QTest::keyClicks(box("txtSellValue"), "6000");
        option("optTxt")->click();
        option("optVer54")->click();
        QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
        QCOMPARE(fake_->endedWith, 0);
        const std::map<QString, QString> expected = {
            {"Keelwright/Files/MultiIdx", idx},
            {"Keelwright/Files/MultiMul", ""},
            {"Keelwright/Files/MultiCollection", ""},
            {"Keelwright/Files/LastScriptFolder", QFileInfo(example("house.wsc")).absolutePath()},
            {"Keelwright/Files/ArtFolder", ""},
            {"Keelwright/Settings/OptWsc", "False"},
            {"Keelwright/Settings/OptTxt", "True"},
            {"Keelwright/Settings/optVer54", "True"},
            {"Keelwright/Settings/OptVer51a", "False"},
            {"Keelwright/Settings/optVerX", "False"},
            {"Keelwright/Script/MultiName", "Mill"},
            {"Keelwright/Script/BuyValue", "12000"},
            {"Keelwright/Script/SellValue", "6000"}};
        QCOMPARE(fake_->store, expected);

        // The next start shows them, ready for the next multi.
        start();
        QCOMPARE(box("txtMultiName")->text(), QString("Mill"));
        QCOMPARE(box("txtBuyValue")->text(), QString("12000"));
        QCOMPARE(box("txtSellValue")->text(), QString("6000"));
        load(example("house.wsc"));
        QVERIFY(button("cmdCreateScript")->isEnabled());

        option("optVerX")->click();
        QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
        QCOMPARE(fake_->store["Keelwright/Settings/optVer54"], QString("False"));
        QCOMPARE(fake_->store["Keelwright/Settings/optVerX"], QString("True"));
    }

    void theStoredServerVersionIsRestoredAndSettingsFromBeforeVerXLoadAsBefore() {
        const struct {
            const char* ver54;
            const char* ver51a;
            const char* verX;  // nullptr: stored before Ver. X existed
            const char* selected;
        } cases[] = {
            {"False", "False", "True", "optVerX"},   {"True", "False", nullptr, "optVer54"},
            {"False", "True", nullptr, "optVer51a"}, {"False", "True", "False", "optVer51a"},
            {"True", "False", "yes", "optVer54"},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            const QString idx = clientFile("Multi.idx");
            fake_->store = {{"Keelwright/Files/MultiIdx", idx},
                            {"Keelwright/Settings/OptWsc", "True"},
                            {"Keelwright/Settings/OptTxt", "False"},
                            {"Keelwright/Settings/optVer54", c.ver54},
                            {"Keelwright/Settings/OptVer51a", c.ver51a}};
            if (c.verX != nullptr) {
                fake_->store["Keelwright/Settings/optVerX"] = c.verX;
            }
            start();
            for (const char* name : {"optVer54", "optVer51a", "optVerX"}) {
                QVERIFY2(option(name)->isChecked() == (QString(name) == c.selected), name);
            }
            QCOMPARE(window_->workspace().MultiIdxPath, idx);
        }
    }

    void closingTheWindowStoresNothing() {
        start();
        option("optTxt")->click();
        window_->close();
        QCOMPARE(fake_->saves, 0);
        QVERIFY(!fake_->endedWith.has_value());
    }

    void storedSettingsAreRestored() {
        const QString idx = clientFile("Multi.idx");
        const QString mul = clientFile("Multi.mul");
        const QString uop = clientFile("MultiCollection.uop");
        fake_->store = {{"Keelwright/Files/MultiCollection", uop}, {"Keelwright/Files/MultiIdx", idx},
                        {"Keelwright/Files/MultiMul", mul},        {"Keelwright/Settings/OptWsc", "false"},
                        {"Keelwright/Settings/OptTxt", "TRUE"},    {"Keelwright/Settings/optVer54", "1"},
                        {"Keelwright/Settings/OptVer51a", "0"}};
        start();
        QCOMPARE(BoxColour(box("txtMultiIdx")), MainWindow::kValidPath);
        QCOMPARE(BoxColour(box("txtMultiMul")), MainWindow::kValidPath);
        QCOMPARE(window_->workspace().MultiMulPath, mul);
        QCOMPARE(BoxColour(box("txtMultiCollection")), MainWindow::kValidPath);
        QCOMPARE(window_->workspace().MultiCollectionPath, uop);
        QVERIFY(option("optTxt")->isChecked());
        QVERIFY(!option("optWsc")->isChecked());
        QVERIFY(option("optVer54")->isChecked());
        QVERIFY(!option("optVer51a")->isChecked());
    }

    void twoStoredFalseValuesLeaveNeitherOptionOfAFrameSelected() {
        fake_->store = {{"Keelwright/Settings/OptWsc", "False"},
                        {"Keelwright/Settings/OptTxt", "False"},
                        {"Keelwright/Settings/optVer54", "False"},
                        {"Keelwright/Settings/OptVer51a", "False"}};
        start();
        for (const char* name : {"optWsc", "optTxt", "optVer54", "optVer51a"}) {
            QVERIFY2(!option(name)->isChecked(), name);
        }
    }

    void aStoredWordThatIsNoTruthValueStopsLoadingTheSettings() {
        const QString idx = clientFile("Multi.idx");
        fake_->store = {{"Keelwright/Files/MultiIdx", idx},
                        {"Keelwright/Settings/OptWsc", "yes"},
                        {"Keelwright/Settings/OptTxt", "True"},
                        {"Keelwright/Settings/optVer54", "True"},
                        {"Keelwright/Settings/OptVer51a", "False"}};
        start();
        QCOMPARE(window_->workspace().MultiIdxPath, idx);  // the paths are already applied
        QVERIFY(option("optWsc")->isChecked());            // the options keep their start-up state
        QVERIFY(option("optVer51a")->isChecked());
        QVERIFY(!option("optTxt")->isChecked());
    }

    void aStoredPathThatNoLongerExistsIsShownRedAndStoredEmpty() {
        const QString gone = dir_->filePath("gone.idx");
        fake_->store = {{"Keelwright/Files/MultiIdx", gone}};
        start();
        QCOMPARE(box("txtMultiIdx")->text(), gone);
        QCOMPARE(BoxColour(box("txtMultiIdx")), MainWindow::kInvalidPath);
        QCOMPARE(window_->workspace().MultiIdxPath, QString());
        QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
        QCOMPARE(fake_->store["Keelwright/Files/MultiIdx"], QString());
    }

    void pathsPassBetweenTheWindowAndTheCoreWithEveryCharacter() {
        for (const QString& name :
             {QString::fromUtf8("M\u00fchle.txt"), QString::fromUtf8("\u03a3\u043f\u4e2d.idx"),
              QString::fromUtf8("house \U0001F3E0.wsc")}) {
            const QString path = dir_->filePath(name);
            const std::filesystem::path core = ToPath(path);
            QCOMPARE(QByteArray::fromStdString(PathText(core)), path.toUtf8());
            QCOMPARE(FromPath(core), path);
            std::ofstream(core) << "x";  // the core's file is the one the window names
            QVERIFY2(QFileInfo(path).size() == 1, qPrintable(path));
        }
    }

    void theQtSettingsStoreKeepsValuesByApplicationSectionAndKey() {
        QtSettingsStore store(dir_->path());
        QCOMPARE(store.get("Keelwright", "Settings", "optVer54", "absent"), QString("absent"));
        store.save("Keelwright", "Settings", "optVer54", "True");
        store.save("Keelwright", "Settings", "OptVer51a", "False");
        store.save("Keelwright", "Files", "MultiIdx", "C:\\UO\\Multi.idx");
        QtSettingsStore reopened(dir_->path());
        QCOMPARE(reopened.get("Keelwright", "Settings", "optVer54", {}), QString("True"));
        QCOMPARE(reopened.get("Keelwright", "Settings", "OptVer51a", {}), QString("False"));
        QCOMPARE(reopened.get("Keelwright", "Files", "MultiIdx", {}), QString("C:\\UO\\Multi.idx"));
        QCOMPARE(reopened.get("Other", "Files", "MultiIdx", {}), QString());
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::MainWindowTest)
#include "MainWindowTest.moc"
