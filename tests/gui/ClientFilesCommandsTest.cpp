// Patch Multi and Extract as the user meets them in the window, on copies of the example client files.
#include <QPlainTextEdit>

#include "WindowHarness.h"
#include "app/QtText.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/UnusableIndexError.h"
#include "uop/UopTileRecords.h"

namespace keelwright::test {

class ClientFilesCommandsTest : public QObject, private WindowHarness {
    Q_OBJECT

private:
    // Started with copies of the example client files of `folder` (client-hs: the multis of client in
    // 16-byte records), or the index given.
    void startWithCopiesOf(const char* folder, const QByteArray& index = {}) {
        startWithClientFiles();
        file("Multi.idx", index.isNull() ? bytesOf(example(folder) + "/Multi.idx") : index);
        file("Multi.mul", bytesOf(example(folder) + "/Multi.mul"));
    }

    void extract(std::initializer_list<QString> answers) {
        fake_->inputAnswers.assign(answers.begin(), answers.end());
        button("cmdExtract")->click();  // hidden from users; its command still works
    }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void patchWritesTheMultiAfterBothSearchesAndOpensCreateScript() {
        startWithClientFiles();
        load(example("house.wsc"));
        const QByteArray idxBefore = bytesOf(idx_);
        const QByteArray mulBefore = bytesOf(mul_);
        QString statusWhenBusy;
        bool untouchedWhenBusy = false;
        fake_->onBusy = [&](bool busy) {
            if (busy) {
                statusWhenBusy = label("lblStatus")->text();
                untouchedWhenBusy = bytesOf(idx_) == idxBefore && bytesOf(mul_) == mulBefore;
            }
        };
        patch();
        QCOMPARE(statusWhenBusy, QString("Please wait..."));
        QVERIFY(untouchedWhenBusy);
        QVERIFY(!fake_->busy);
        QCOMPARE(label("lblStatus")->text(), QString("Patching completed"));
        QVERIFY(!button("cmdPatch")->isEnabled());
        QVERIFY(fake_->messages.empty());
        QCOMPARE(window_->workspace().PatchSlot, 5);
        QCOMPARE(window_->workspace().FirstFreeRecord, 39);

        const QByteArray idx = bytesOf(idx_);
        QCOMPARE(idx.size(), idxBefore.size());
        QCOMPARE(idx.left(48), idxBefore.left(48));
        QCOMPARE(int32At(idx, 48), 456);           // Offset: the old end of Multi.mul
        QCOMPARE(int32At(idx, 52), 26 * 12 + 12);  // Length: the lead record and 26 tiles
        QCOMPARE(int32At(idx, 56), -1);
        QCOMPARE(idx.mid(60), idxBefore.mid(60));
        const QByteArray mul = bytesOf(mul_);
        QCOMPARE(mul.size(), 456 + 27 * 12);
        QCOMPARE(mul.left(456), mulBefore);
        QCOMPARE(mul.mid(456, 12).toHex(' '), QByteArray("01 00 00 00 00 00 00 00 00 00 00 00"));

        QTest::keyClicks(box("txtMultiName"), "Lakeside Mill");
        QTest::keyClicks(box("txtBuyValue"), "25000");
        QTest::keyClicks(box("txtSellValue"), "12500");
        QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
        QCOMPARE(label("lblStatus")->text(), QString("Scripts Completed"));
        const auto* scripts = window_->findChild<QPlainTextEdit*>("txtScripts");
        QVERIFY(scripts != nullptr);
        QVERIFY(scripts->toPlainText().contains("\n[4004]\nNAME=Lakeside Mill\n"));
    }

    void patchWritesInTheRecordSizeOfTheFilesAndSaysWhichInTheTooltip() {
        const struct {
            const char* folder;
            QByteArray index;  // null: the example's own
            qsizetype recordBytes;
            const char* told;
        } cases[] = {
            {"client", {}, 12, "12-byte records (from the lengths in Multi.idx)"},
            {"client-hs", {}, 16, "16-byte records (from the lengths in Multi.idx)"},
            {"client", QByteArray(3 * 12, '\xFF'), 12, "12-byte records (assumed: the files do not tell)"},
        };
        for (const auto& c : cases) {
            startWithCopiesOf(c.folder, c.index);
            load(example("house.wsc"));
            const QByteArray mulBefore = bytesOf(mul_);
            patch();
            QCOMPARE(label("lblStatus")->text(), QString("Patching completed"));
            QVERIFY2(label("lblStatus")->toolTip().contains(c.told),
                     qPrintable(label("lblStatus")->toolTip()));
            const QByteArray idx = bytesOf(idx_);
            const qsizetype at = (window_->workspace().PatchSlot - 1) * 12;
            QCOMPARE(int32At(idx, at), mulBefore.size());
            QCOMPARE(int32At(idx, at + 4), 27 * c.recordBytes);  // the lead record and 26 tiles
            QCOMPARE(bytesOf(mul_).size(), mulBefore.size() + 27 * c.recordBytes);
            QCOMPARE(bytesOf(mul_).left(mulBefore.size()), mulBefore);
        }
    }

    void filesWhoseRecordSizeCannotBeToldOrAUopContainerAreReportedWithoutWriting() {
        QByteArray mixed = bytesOf(example("client-hs/Multi.idx"));
        mixed[40] = 36;  // slot 4: a block of 12-byte records among 16-byte ones
        const QByteArray uop = QByteArray("MYP\0\x05\0\0\0", 8) + QByteArray(40, '\x01');
        const struct {
            QByteArray index;
            QByteArray data;  // null: the example's own
            const char* says;
        } cases[] = {
            {mixed, {}, "slot 4 (multi 3): Length 36 is a whole number of 12-byte records only"},
            {{}, uop, "is a MultiCollection container"},
        };
        for (const auto& c : cases) {
            startWithCopiesOf("client-hs", c.index);
            if (!c.data.isNull()) {
                mul_ = file("Multi.mul", c.data);
            }
            load(example("house.wsc"));
            const QByteArray idxBefore = bytesOf(idx_);
            const QByteArray mulBefore = bytesOf(mul_);
            fake_->messages.clear();
            patch();
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            QVERIFY2(!fake_->messages[0].text.front().isDigit(), qPrintable(fake_->messages[0].text));
            QVERIFY2(fake_->messages[0].text.contains(c.says), qPrintable(fake_->messages[0].text));
            QCOMPARE(label("lblStatus")->text(), QString("Patching failed"));
            QVERIFY(button("cmdPatch")->isEnabled());
            QVERIFY(!fake_->endedWith.has_value());
            QVERIFY(!fake_->busy);
            QCOMPARE(bytesOf(idx_), idxBefore);
            QCOMPARE(bytesOf(mul_), mulBefore);
        }
    }

    void theUopRowIsOptionalAndAPatchWritesEveryFileItNamesUnderOneNumber() {
        startWithClientFiles();
        const QString uop = file("MultiCollection.uop", bytesOf(example("client/MultiCollection.uop")));
        QCOMPARE(BoxColour(box("txtMultiCollection")), MainWindow::kBoxOpen);  // blank: no UOP
        fake_->fileAnswers = {uop};
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        QCOMPARE(fake_->fileRequests.back().folder, QFileInfo(mul_).absolutePath());
        QCOMPARE(fake_->fileRequests.back().title, QString("Browse for the MultiCollection.uop file"));
        QCOMPARE(BoxColour(box("txtMultiCollection")), MainWindow::kValidPath);
        load(example("house.wsc"));
        const QByteArray idxBefore = bytesOf(idx_);
        const QByteArray mulBefore = bytesOf(mul_);
        const QByteArray uopBefore = bytesOf(uop);

        box("txtMultiCollection")->setText(uop + ".old");
        QCOMPARE(BoxColour(box("txtMultiCollection")), MainWindow::kInvalidPath);
        QVERIFY(button("cmdPatch")->isEnabled());
        patch();
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY2(fake_->messages[0].text.contains("The MultiCollection.uop box names no file"),
                 qPrintable(fake_->messages[0].text));
        QCOMPARE(label("lblStatus")->text(), QString("Patching failed"));
        QVERIFY(button("cmdPatch")->isEnabled());
        QCOMPARE(bytesOf(idx_), idxBefore);
        QCOMPARE(bytesOf(mul_), mulBefore);
        QCOMPARE(bytesOf(uop), uopBefore);

        box("txtMultiCollection")->setText(uop);
        patch();
        QCOMPARE(label("lblStatus")->text(), QString("Patching completed"));
        QCOMPARE(label("lblStatus")->toolTip(),
                 QString("Patched as multi 0x4 (4) (item 4004, slot 5) into Multi.idx, Multi.mul and "
                         "MultiCollection.uop, 12-byte records (from the lengths in Multi.idx)."
                         " The multi is patched into these files; choose other client files to patch it into "
                         "them too, which enables Patch Multi again."));
        NativeFileSystem fileSystem;
        QCOMPARE(ExtractUopMultiText(fileSystem, ToPath(uop), 4),
                 ExtractMultiText(fileSystem, ToPath(mul_), 5, ReadIndexEntry(fileSystem, ToPath(idx_), 5),
                                  RecordSize::Twelve));

        // A blank box leaves the UOP out.
        const QByteArray uopPatched = bytesOf(uop);
        box("txtMultiCollection")->clear();
        load(example("house.wsc"));
        fake_->questionAnswers = {true};  // Multi.idx and Multi.mul alone hold it as multi 4 already
        patch();
        QCOMPARE(fake_->questions.size(), std::size_t{1});
        QCOMPARE(
            label("lblStatus")->toolTip(),
            QString(
                "Patched as multi 0x6 (6) (item 4006, slot 7) into Multi.idx and Multi.mul, 12-byte records "
                "(from the lengths in Multi.idx); a MultiCollection.uop lies beside Multi.mul: clients from "
                "7.0 on and ServUO read it instead and will not see multi 0x6 (6); patch it there too. The "
                "multi is patched into these files; choose other client files to patch it into them too, "
                "which enables Patch Multi again."));
        QCOMPARE(bytesOf(uop), uopPatched);
    }

    void extractReadsASixteenBytePairInItsRecordSize() {
        startWithCopiesOf("client-hs");
        const QString out = dir_->filePath("out.txt");
        extract({"3", out});
        QCOMPARE(bytesOf(out),
                 QByteArray("6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n"
                            "3026 0 0 0 1\r\n"));
    }

    void aSecondPatchTakesTheNextFreeSlotAndAppendsAfterTheFirst() {
        startWithClientFiles();
        load(example("house.wsc"));
        patch();
        option("optTxt")->click();
        load(file("one.txt",
                  "6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n1709 5 5 0\r\n"));
        QVERIFY(button("cmdPatch")->isEnabled());
        patch();
        QCOMPARE(window_->workspace().PatchSlot, 7);  // slot 6 holds a multi of the example files
        const QByteArray idx = bytesOf(idx_);
        QCOMPARE(int32At(idx, 72), 456 + 27 * 12);
        QCOMPARE(int32At(idx, 76), 24);
        QCOMPARE(bytesOf(mul_).size(), 456 + 27 * 12 + 24);
    }

    void aFailedPatchReportsTheErrorAndLeavesBothFilesAndTheButton() {
        startWithClientFiles();
        load(example("house.wsc"));
        const QByteArray idxBefore = bytesOf(idx_);
        const QByteArray mulBefore = bytesOf(mul_);
        fake_->fileSystem.faults["Multi.mul"] = FileFaults::Capacity(456 + 100);  // the disk fills mid-block
        patch();
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY2(fake_->messages[0].text.startsWith(mul_ + ": injected full disk"),
                 qPrintable(fake_->messages[0].text));
        QCOMPARE(fake_->messages[0].caption, QString("Keelwright"));
        QCOMPARE(fake_->messages[0].icon, MessageIcon::Critical);
        QVERIFY(fake_->messages[0].text.endsWith("press Patch Multi again."));
        QCOMPARE(label("lblStatus")->text(), QString("Patching failed"));
        QVERIFY(label("lblStatus")->toolTip().contains("Multi.mul"));
        QVERIFY(button("cmdPatch")->isEnabled());
        QVERIFY(!fake_->busy);
        QVERIFY(!fake_->endedWith.has_value());
        QCOMPARE(window_->workspace().PatchSlot, 0);
        QCOMPARE(bytesOf(idx_), idxBefore);
        QCOMPARE(bytesOf(mul_), mulBefore);

        fake_->fileSystem.faults.clear();  // room again: the same multi patches
        patch();
        QCOMPARE(label("lblStatus")->text(), QString("Patching completed"));
        QCOMPARE(window_->workspace().PatchSlot, 5);
    }

    void aClientFileAnotherProgramIsChangingIsReportedAndPatchMultiStaysEnabled() {
        startWithClientFiles();
        load(example("house.wsc"));
        const QByteArray mulBefore = bytesOf(mul_);
        fake_->fileSystem.faults["Multi.mul"] = FileFaults::LockedElsewhere();
        patch();
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY2(
            fake_->messages[0].text.startsWith(mul_ + ": another program is changing or reading this file "
                                                      "(waited 10 seconds for it)"),
            qPrintable(fake_->messages[0].text));
        QVERIFY(button("cmdPatch")->isEnabled());
        QCOMPARE(bytesOf(mul_), mulBefore);
        fake_->fileSystem.faults.clear();
        patch();
        QCOMPARE(label("lblStatus")->text(), QString("Patching completed"));
    }

    void aFailedPatchNamesEachFileItLeftAsItWasOnce() {
        const struct {
            const char* idxName;  // in folder a
            bool sameFile;        // the Multi.mul box names the file in the Multi.idx box
            QString says;         // ending the message, with %1 for the folder
        } cases[] = {
            // One file in both boxes is refused before the patch: it does not belong to itself as an index.
            {"Multi.mul", true, "a red box holds no usable path: Multi.mul: Multi.mul is"},
            {"Multi.mul", false, "%1/a/Multi.mul and %1/Multi.mul are as they were."},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            startWithClientFiles();
            QDir(dir_->path()).mkdir("a");
            const QString idx = file(QString("a/") + c.idxName, bytesOf(idx_));
            box("txtMultiIdx")->setText(idx);
            box("txtMultiMul")->setText(c.sameFile ? idx : mul_);
            fake_->fileSystem.faults["Multi.mul"] = FileFaults::Capacity(456);  // no room for a block
            load(example("house.wsc"));
            patch();
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            const QString text = fake_->messages[0].text;
            QVERIFY2(text.contains(QDir::toNativeSeparators(QString(c.says).arg(dir_->path()))),
                     qPrintable(text));
            QVERIFY2(!text.contains("Multi.mul and Multi.mul"), qPrintable(text));
        }
    }

    void aComponentOutsideItsFieldIsReportedBeforeAnythingIsWritten() {
        startWithClientFiles();
        option("optTxt")->click();
        load(file("big.txt",
                  "6 version\r\n1 template id\r\n-1 item version\r\n2 num components\r\n"
                  "1709 1 1 0\r\n1710 0 0 40000\r\n"));
        const QByteArray idxBefore = bytesOf(idx_);
        const QByteArray mulBefore = bytesOf(mul_);
        patch();
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY2(fake_->messages[0].text.startsWith("Component 2: z \"40000\""),
                 qPrintable(fake_->messages[0].text));
        QCOMPARE(label("lblStatus")->text(), QString("Patching failed"));
        QVERIFY(button("cmdPatch")->isEnabled());
        QCOMPARE(bytesOf(idx_), idxBefore);
        QCOMPARE(bytesOf(mul_), mulBefore);
    }

    void anIndexThatCannotTakeAPatchIsRefusedWithoutWritingAndTheProgramAndTheTypingStay() {
        // A used record (Offset 0, Length 12, Extra 0), a zero record and a free one.
        const QByteArray used = QByteArray::fromHex("000000000c00000000000000");
        const QByteArray zero(12, '\0');
        const QByteArray free = QByteArray::fromHex("00000000ffffffff00000000");
        const struct {
            const char* name;
            QByteArray index;  // a null array: Multi.idx vanishes after its box turned green
            const char* reason;
        } cases[] = {
            {"zero record first", zero + zero,
             "Multi.idx holds an empty record at slot 1 before any free slot."},
            {"zero record at 3", used + used + zero + free,
             "Multi.idx holds an empty record at slot 3 before any free slot."},
            {"no free slot", used + used, "Multi.idx ends before slot 3 without any free slot."},
            {"missing", QByteArray(), "There is no Multi.idx at the path given."},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            startWithClientFiles(c.index.isNull() ? used : c.index);
            load(example("house.wsc"));
            box("txtMultiName")->setText("Tower");
            if (c.index.isNull()) {
                QFile::remove(idx_);
            }
            const QByteArray mulBefore = bytesOf(mul_);
            patch();
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            // The real reason first, then what to do; not the old words, which name the wrong cause.
            const QString text = fake_->messages[0].text;
            QVERIFY2(text.startsWith(c.reason) &&
                         text.contains("Multi.idx and Multi.mul seem to be swapped") &&
                         text.contains("Nothing was written") && !text.contains(kUnusableIndexMessage),
                     qPrintable(text));
            QCOMPARE(fake_->messages[0].caption, MainWindow::kApplicationTitle);
            QCOMPARE(fake_->messages[0].icon, MessageIcon::Critical);
            QVERIFY2(!fake_->endedWith.has_value(), c.name);
            // The loaded multi and the typing stay, and Patch Multi can be pressed again.
            QCOMPARE(label("lblStatus")->text(), QString("Patching failed"));
            QCOMPARE(box("txtMultiName")->text(), QString("Tower"));
            QVERIFY(button("cmdPatch")->isEnabled());
            QVERIFY(!fake_->busy);
            QCOMPARE(bytesOf(idx_), c.index.isNull() ? QByteArray("(missing)") : c.index);
            QCOMPARE(bytesOf(mul_), mulBefore);
        }
    }

    void aPatchWithARedPathBoxIsRefusedWithoutTouchingAnyFile() {
        startWithClientFiles();
        load(example("house.wsc"));
        const QByteArray idxBefore = bytesOf(idx_);
        box("txtMultiMul")->setText(dir_->filePath("nowhere.mul"));
        QVERIFY(!button("cmdPatch")->isEnabled());
        load(example("house.wsc"));  // a load enables cmdPatch whatever the paths
        QVERIFY(button("cmdPatch")->isEnabled());
        patch();
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QVERIFY(fake_->messages[0].text.startsWith("Choose the client's Multi.idx and Multi.mul first"));
        QCOMPARE(label("lblStatus")->text(), QString("Patching failed"));
        QVERIFY(!fake_->endedWith.has_value());
        QCOMPARE(bytesOf(idx_), idxBefore);
        QVERIFY(!QFile::exists(dir_->filePath("nowhere.mul")));
    }

    void extractWritesTheMultiTextOfTheTypedNumber() {
        startWithClientFiles();
        const QString out = file("out.txt", "an older, longer file that must not survive in any part");
        extract({"  3 ", out});
        QCOMPARE(fake_->inputPrompts,
                 (std::vector<QString>{"Enter the multi ID you want to extract in decimal",
                                       "Enter path and name of file you want it saved to"}));
        QCOMPARE(fake_->inputTitles, (std::vector<QString>{"Keelwright", "Keelwright"}));
        // Multi 3 (slot 4) is the example files' one-component block.
        const QByteArray text = bytesOf(out);
        QVERIFY2(text.startsWith("6 version\r\n1 template id\r\n-1 item version\r\n1 num components\r\n"),
                 text);
        QCOMPARE(text.count("\r\n"), 5);
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QCOMPARE(fake_->messages[0].text, QString("extract complete"));
        QCOMPARE(fake_->messages[0].caption, QString("Keelwright"));
    }

    void extractPatchedMultiReadsBackAsTheLoadedTable() {
        startWithClientFiles();
        load(example("house.wsc"));
        patch();
        const ComponentTable patched = window_->workspace().table;
        const QString out = dir_->filePath("house-again.txt");
        extract({"4", out});
        option("optTxt")->click();
        load(out);
        const ComponentTable& again = window_->workspace().table;
        QCOMPARE(again.Count, patched.Count);
        for (std::int32_t i = 0; i < patched.Count; ++i) {
            QCOMPARE(again.ItemId[i], patched.ItemId[i]);
            QCOMPARE(again.X[i], patched.X[i]);
            QCOMPARE(again.Y[i], patched.Y[i]);
            QCOMPARE(again.Z[i], patched.Z[i]);
        }
    }

    void verXScriptsNameThePatchedMultiAndRefuseANumberSphereCannotUse() {
        const QByteArray used = QByteArray::fromHex("000000000c00000000000000");  // Offset 0, Length 12
        const QByteArray free = QByteArray::fromHex("00000000ffffffff00000000");
        const struct {
            int usedSlots;
            QString scripts;  // a line of the scripts, or empty when they are refused
        } cases[] = {
            {10, "\n[MULTIDEF 0A]\nDEFNAME=m_Lakeside_Mill\n"},
            {8190, "\n[MULTIDEF 01FFE]\n"},
            {8191, {}},
        };
        for (const auto& c : cases) {
            restartWindowTest();
            startWithClientFiles(used.repeated(c.usedSlots) + free);
            load(example("house.wsc"));
            patch();
            QCOMPARE(window_->workspace().PatchSlot, c.usedSlots + 1);
            QTest::keyClicks(box("txtMultiName"), "Lakeside Mill");
            QTest::keyClicks(box("txtBuyValue"), "25000");
            QTest::keyClicks(box("txtSellValue"), "12500");
            option("optVerX")->click();
            QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
            const auto* scripts = window_->findChild<QPlainTextEdit*>("txtScripts");
            if (!c.scripts.isEmpty()) {
                QVERIFY(fake_->messages.empty());
                QVERIFY(scripts != nullptr);
                QVERIFY2(scripts->toPlainText().contains(c.scripts), qPrintable(scripts->toPlainText()));
                QCOMPARE(label("lblStatus")->text(), QString("Scripts Completed"));
                continue;
            }
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            QCOMPARE(fake_->messages[0].text,
                     QString("Patch slot 0x2000 (8192) gives multi 0x1FFF (8191), which Sphere cannot use "
                             "(multi numbers run from 0 to 0x1FFE (8190))"));
            QCOMPARE(fake_->messages[0].icon, MessageIcon::Critical);
            QCOMPARE(scripts, nullptr);
            QCOMPARE(label("lblStatus")->text(), QString("Script creation failed"));
            QVERIFY(!fake_->busy);
        }
    }

    void extractDoesNothingOnABlankEntryAndReportsACancelledPath() {
        startWithClientFiles();
        extract({"   "});
        QCOMPARE(fake_->inputPrompts.size(), std::size_t{1});
        QVERIFY(fake_->messages.empty());

        for (const QString& path : {QString(), QString("  ")}) {
            fake_->inputPrompts.clear();
            fake_->messages.clear();
            extract({"0", path});
            QCOMPARE(fake_->inputPrompts.size(), std::size_t{2});
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            QVERIFY2(!fake_->messages[0].text.front().isDigit(), qPrintable(fake_->messages[0].text));
        }
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files).size(), 2);  // the client files alone
    }

    void extractReportsABadNumberOrAnUnusableSlotBeforeAskingForAPath() {
        startWithClientFiles();
        const QByteArray idxBefore = bytesOf(idx_);
        const struct {
            QString typed;
            QString start;  // of the message
        } cases[] = {
            {"x", "Multi number "},
            {"1.5", "Multi number "},
            {"-1", "Multi number "},
            {"32767", "Multi number "},
            {"4", ""},
            {"99", ""},
            // Typed text is quoted as any input is: short, its control characters escaped.
            {"\x1b[2J" + QString(100, '7'), QString::fromUtf8("Multi number \"\\x1B[2J") + QString(76, '7') +
                                                QString::fromUtf8("\"\u2026 is not a whole number")},
        };
        for (const auto& c : cases) {
            fake_->inputPrompts.clear();
            fake_->messages.clear();
            extract({c.typed, dir_->filePath("never.txt")});
            QCOMPARE(fake_->inputPrompts.size(), std::size_t{1});
            QCOMPARE(fake_->messages.size(), std::size_t{1});
            QVERIFY2(fake_->messages[0].text.startsWith(c.start), qPrintable(fake_->messages[0].text));
            QVERIFY(fake_->messages[0].text != "extract complete");
        }
        QCOMPARE(bytesOf(idx_), idxBefore);
        QVERIFY(!QFile::exists(dir_->filePath("never.txt")));
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::ClientFilesCommandsTest)
#include "ClientFilesCommandsTest.moc"
