// The multi number box beside Patch Multi, Create Script for a multi already in the files, and the client
// multis window.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "WindowHarness.h"
#include "app/ClientMultisWindow.h"
#include "app/PreviewWindow.h"

namespace keelwright::test {

class MultiNumberTest : public QObject, private WindowHarness {
    Q_OBJECT

    // A window with copies of the example client files (multis 0, 1, 2, 3 and 5; 4 free) and house.wsc.
    void startLoaded(const QString& number) {
        restartWindowTest();
        startWithClientFiles();
        load(example("house.wsc"));
        box("txtMultiNumber")->setText(number);
    }

    ClientMultisWindow* openClientMultis() {
        QTest::mouseClick(button("cmdClientMultis"), Qt::LeftButton);
        return window_->findChild<ClientMultisWindow*>("frmClientMultis");
    }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void theNumberBoxChoosesTheNumberAndAsksBeforeReplacing() {
        const struct {
            const char* typed;
            std::deque<bool> answers;
            const char* question;  // nullptr: none asked
            int slot;              // the slot written; 0: nothing written
            const char* tooltip;   // a part of the status tooltip
        } rows[] = {
            {"", {}, nullptr, 5, "Patched as multi 0x4 (4) (item 4004, slot 5)"},
            {"0x7", {}, nullptr, 8, "the number was free"},
            {"2", {false}, "Multi 0x2 already holds 8 tiles in Multi.mul. Replace it?", 0, "stays as it is"},
            {"0x2",
             {true},
             "Multi 0x2 already holds 8 tiles in Multi.mul. Replace it?",
             3,
             "it replaced the multi of 8 tiles in Multi.mul"},
            {"0x1z", {}, nullptr, 0, "0x1z"},
            {"16", {}, nullptr, 0, "16 slots"},
        };
        for (const auto& row : rows) {
            startLoaded(row.typed);
            fake_->questionAnswers = row.answers;
            const QByteArray idxBefore = bytesOf(idx_);
            const QByteArray mulBefore = bytesOf(mul_);
            patch();
            QCOMPARE(fake_->questions.size(), row.question ? 1u : 0u);
            if (row.question) {
                QCOMPARE(fake_->questions[0].text, QString(row.question));
            }
            QVERIFY2(label("lblStatus")->toolTip().contains(row.tooltip),
                     qPrintable(label("lblStatus")->toolTip()));
            const QByteArray idx = bytesOf(idx_);
            if (row.slot == 0) {
                QCOMPARE(idx, idxBefore);
                QCOMPARE(bytesOf(mul_), mulBefore);
                continue;
            }
            const qsizetype at = (row.slot - 1) * 12;
            QCOMPARE(int32At(idx, at), 456);  // the new block, at the old end of Multi.mul
            QCOMPARE(idx.left(at) + idx.mid(at + 12), idxBefore.left(at) + idxBefore.mid(at + 12));
            QCOMPARE(bytesOf(mul_).left(456), mulBefore);  // a replaced block stays as dead bytes
            QCOMPARE(window_->workspace().PatchSlot, row.slot);
        }
    }

    void createScriptWritesTheScriptsOfATypedNumberWithoutAPatch() {
        const struct {
            const char* option;
            const char* typed;
            const char* expected;  // nullptr: refused, as before any patch
        } rows[] = {
            {"optVer51a", "0x2", "\n[4002]\n"},
            {"optVer54", "2", "[ITEMDEF 04002]"},
            {"optVerX", "0x1400", "[MULTIDEF 01400]"},
            {"optVerX", "", nullptr},
        };
        for (const auto& row : rows) {
            startLoaded(row.typed);
            option(row.option)->setChecked(true);
            QTest::keyClicks(box("txtMultiName"), "Mill");
            QTest::keyClicks(box("txtBuyValue"), "10");
            QTest::keyClicks(box("txtSellValue"), "5");
            const QByteArray idxBefore = bytesOf(idx_);
            QTest::mouseClick(button("cmdCreateScript"), Qt::LeftButton);
            QCOMPARE(bytesOf(idx_), idxBefore);
            const auto* scripts = window_->findChild<QPlainTextEdit*>("txtScripts");
            if (row.expected == nullptr) {
                QVERIFY(scripts == nullptr);
                QCOMPARE(fake_->messages.size(), 1u);
                continue;
            }
            QVERIFY(fake_->messages.empty());
            QVERIFY2(scripts->toPlainText().contains(row.expected),
                     qPrintable(scripts->toPlainText().left(300)));
        }
    }

    void theClientMultisWindowListsPreviewsExtractsAndRemoves() {
        startLoaded("");
        ClientMultisWindow* multis = openClientMultis();
        QVERIFY(multis != nullptr);
        auto* table = multis->findChild<QTableWidget*>("tblMultis");
        QCOMPARE(table->rowCount(), 5);
        QCOMPARE(table->item(4, 0)->text(), QString("0x5"));
        QCOMPARE(table->item(4, 2)->text(), QString("4005"));
        QCOMPARE(table->item(2, 3)->text(), QString("8"));
        QCOMPARE(table->item(2, 4)->text(), QString("Multi.mul"));
        QTest::mouseClick(multis->findChild<QPushButton*>("cmdFreeNumbers"), Qt::LeftButton);
        QVERIFY(multis->findChild<QLabel*>("lblFreeNumbers")->text().startsWith("Free: 0x4 (4), 0x6 (6)"));

        multis->selectMulti(2);
        QVERIFY(multis->findChild<QLabel*>("lblSelected")->text().contains("8 tiles"));
        QTest::mouseClick(multis->findChild<QPushButton*>("cmdPreview"), Qt::LeftButton);
        auto* preview = window_->findChild<PreviewWindow*>("frmPreview");
        QVERIFY(preview != nullptr);
        QCOMPARE(preview->windowTitle(), QString("Preview - multi 0x2 (2)"));

        for (const bool exact : {false, true}) {
            const QString target = dir_->filePath(exact ? "exact.txt" : "plain.txt");
            fake_->saveAnswers.push_back(target);
            multis->findChild<QCheckBox*>("chkExact")->setChecked(exact);
            QTest::mouseClick(multis->findChild<QPushButton*>("cmdExtract"), Qt::LeftButton);
            const QByteArray text = bytesOf(target);
            QVERIFY2(text.startsWith(exact ? "6 version\r\n1 template id\r\n-1 item version\r\n9 num"
                                           : "6 version\r\n1 template id\r\n-1 item version\r\n8 num"),
                     text.constData());
        }
        QCOMPARE(fake_->saveRequests.back().second, QString("multi 0x2 exact.txt"));

        const QByteArray idxBefore = bytesOf(idx_);
        QTest::mouseClick(multis->findChild<QPushButton*>("cmdRemove"), Qt::LeftButton);  // No, the default
        QCOMPARE(bytesOf(idx_), idxBefore);
        fake_->questionAnswers.push_back(true);
        QTest::mouseClick(multis->findChild<QPushButton*>("cmdRemove"), Qt::LeftButton);
        QCOMPARE(fake_->questions.size(), 2u);
        QVERIFY(fake_->questions[0].text.startsWith("Remove multi 0x2 (2) from Multi.mul?"));
        const QByteArray idx = bytesOf(idx_);
        QCOMPARE(idx.mid(24, 12), QByteArray(12, '\xFF'));
        QCOMPARE(idx.left(24) + idx.mid(36), idxBefore.left(24) + idxBefore.mid(36));
        QCOMPARE(table->rowCount(), 4);

        patch();  // at the first free number, which the removal made 2
        QCOMPARE(window_->workspace().PatchSlot, 3);
        QCOMPARE(table->rowCount(), 5);
        QCOMPARE(table->item(2, 3)->text(), QString("26"));
    }

    void clientMultisNeedsFilesToRead() {
        start();
        QVERIFY(openClientMultis() == nullptr);
        QCOMPARE(fake_->messages.size(), 1u);
        QCOMPARE(fake_->messages[0].icon, MessageIcon::Warning);
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::MultiNumberTest)
#include "MultiNumberTest.moc"
