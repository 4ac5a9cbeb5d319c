// The readers' verdicts above the client multis: the core's check shown line by line, the rows it names
// marked, and Check… showing its whole report.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/QtText.h"
#include "app/ReaderVerdictView.h"
#include "clientfiles/ReaderCheckReport.h"
#include "mulfiles/NativeFileSystem.h"

namespace keelwright::test {

class ReaderVerdictViewTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheVerdictsMarksTheRowsSeenOtherwiseAndShowsTheReport() {
        // Copies of the example 12-byte files, multi 0 cut to 48 bytes: Sphere reads them as 16-byte records.
        QTemporaryDir dir;
        const QString examples = KEELWRIGHT_EXAMPLES "/client/";
        QVERIFY(QFile::copy(examples + "Multi.mul", dir.filePath("Multi.mul")));
        QFile index(examples + "Multi.idx");
        QVERIFY(index.open(QIODevice::ReadOnly));
        QByteArray bytes = index.readAll();
        bytes[4] = 48;
        QFile copy(dir.filePath("Multi.idx"));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size());
        copy.close();
        PatchTargets targets;
        targets.mul = ClientFiles{ToPath(dir.filePath("Multi.idx")), ToPath(dir.filePath("Multi.mul"))};
        NativeFileSystem fileSystem;
        const ReaderCheck check = CheckReaders(fileSystem, targets);

        ReaderVerdictView view;
        QVERIFY(!view.findChild<QPushButton*>("cmdCheck")->isEnabled());
        view.showCheck(check);
        const QLabel* sphere = view.findChild<QLabel*>("lblReader_sphere");
        QCOMPARE(sphere->text(), QString("Sphere: 1 finding: it sees the files otherwise than they are"));
        QVERIFY(sphere->toolTip().contains("Sphere reads multi 0's 48 bytes as 3 records of 16"));
        QCOMPARE(view.findChild<QLabel*>("lblReader_oldClient")->text(),
                 QString("Clients before 7.0: sees the files as they are"));

        QTableWidget table(2, 3);
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 3; ++column) {
                table.setItem(row, column, new QTableWidgetItem(QString::number(row)));
            }
            view.markRow(table, row, row);  // multis 0 and 1
        }
        QVERIFY(table.item(0, 2)->toolTip().contains("Sphere reads multi 0's 48 bytes"));
        QVERIFY(table.item(0, 2)->background() != table.item(1, 2)->background());
        QVERIFY(table.item(1, 0)->toolTip().isEmpty());

        QTest::mouseClick(view.findChild<QPushButton*>("cmdCheck"), Qt::LeftButton);
        const auto* report = view.findChild<QPlainTextEdit*>("txtCheckReport");
        QVERIFY(report != nullptr);
        QCOMPARE(report->toPlainText(), FromUtf8(ReaderCheckText(check)));
        report->window()->close();

        view.clearCheck();
        QCOMPARE(sphere->text(), QString("Sphere: not checked"));
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::ReaderVerdictViewTest)
#include "ReaderVerdictViewTest.moc"
