// The shard window on copies of the example client files: each status with its colour and the summary, the
// plan in the confirmation equal to apply --dry-run's lines, apply and a refused apply, apply to another
// client folder, and edits of a golden manifest that keep every byte outside the entry's lines.
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "FakePlatform.h"
#include "app/QtText.h"
#include "app/ShardHost.h"
#include "app/ShardWindow.h"
#include "clientfiles/ManifestApply.h"
#include "clientfiles/PlanText.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"

namespace keelwright::test {

class FakeShardHost : public ShardHost {
public:
    PatchTargets hostClientFiles() const override { return targets; }
    QString hostScriptFormat() const override { return "54"; }
    std::optional<LoadedMultiFacts> hostLoadedMulti() const override { return loaded; }
    const ComponentsList& hostComponents() const override { return components; }
    void hostPreview(std::vector<PreviewTile> tiles, const QString& scriptPath) override {
        previewed.emplace_back(tiles.size(), scriptPath);
    }
    void hostShowScripts(const QString& text) override { scripts = text; }
    void hostLoadDesign(const QString& path, std::optional<ScriptType> type,
                        const DesignChoice& choice) override {
        loadedDesigns.push_back(path + (type ? " " + FromUtf8(ScriptTypeShortName(*type)) : QString()) + " " +
                                FromUtf8(choice.templateId.value_or("")));
    }

    PatchTargets targets;
    std::optional<LoadedMultiFacts> loaded;
    ComponentsList components;
    std::vector<std::pair<std::size_t, QString>> previewed;
    QStringList loadedDesigns;
    QString scripts;
};

// A multi text design of `n` tiles; `variant` changes the items.
QByteArray design(int n, int variant) {
    QByteArray text =
        "6 version\r\n1 template id\r\n-1 item version\r\n" + QByteArray::number(n) + " num components\r\n";
    for (int i = 0; i < n; ++i) {
        text += QByteArray::number(100 + i + variant) + " " + QByteArray::number(i % 5) + " " +
                QByteArray::number(i / 5) + " 0 0\r\n";
    }
    return text;
}

QByteArray entry(const char* number, const char* script, const char* extra = "") {
    return QByteArray("[[multi]]\nnumber = ") + number + "\nscript = \"" + script + "\"\nname = \"M" +
           number + "\"\nbuy = 100\nsell = 50\n" + extra;
}

const QByteArray kHead =
    "[client]\nidx = \"client/Multi.idx\"\nmul = \"client/Multi.mul\"\n"
    "[scripts]\nformat = \"54\"\noutput = \"multis.scp\"\n";

class ShardWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakePlatform> fake_;
    std::unique_ptr<FakeShardHost> hostOwned_;
    FakeShardHost& host() { return *hostOwned_; }
    QPointer<ShardWindow> window_;

    QString path(const QString& name) const { return dir_->filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile out(path(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
    }
    void copyClient(const QString& folder, const QStringList& names) const {
        const QStringList examples = {"Multi.idx", "Multi.mul", "MultiCollection.uop"};
        for (int k = 0; k < names.size(); ++k) {
            QFile in(QString(KEELWRIGHT_EXAMPLES) + "/client/" + examples[k]);
            QVERIFY(in.open(QIODevice::ReadOnly));
            write(folder + "/" + names[k], in.readAll());
        }
    }
    void open(const QByteArray& manifest) {
        write("shard.toml", manifest);
        window_ = new ShardWindow(fake_->platform(), host());
        window_->openManifest(path("shard.toml"));
    }
    template <typename Control>
    Control* child(const char* name) {
        auto* control = window_->findChild<Control*>(name);
        if (control == nullptr) {
            qFatal("no control named %s", name);
        }
        return control;
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QTableWidget* table() { return child<QTableWidget>("tblEntries"); }
    QString signs() {
        QString text;
        for (int row = 0; row < table()->rowCount(); ++row) {
            text += table()->item(row, 0)->text().left(1);
        }
        return text;
    }
    QString status() { return child<QLabel>("lblStatus")->text(); }
    bool slotUsed(const QString& idx, std::int32_t multi) {
        NativeFileSystem fileSystem;
        return !ReadIndexEntry(fileSystem, ToPath(idx), SlotOfMultiNumber(multi)).isFree();
    }
    // The plan apply --dry-run prints, computed apart from the window.
    QString dryRunLines() {
        NativeFileSystem fileSystem;
        const std::filesystem::path manifest = ToPath(path("shard.toml"));
        ApplyOptions options;
        options.dryRun = true;
        const Manifest read = ReadManifest(manifest);  // the plan points into it
        const ApplyResult result = ApplyManifest(fileSystem, manifest, read, {}, options);
        QStringList lines;
        for (const PlannedMulti& planned : result.plan) {
            lines << FromUtf8(PlanLine(planned));
        }
        return lines.join("\n");
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        fake_ = std::make_unique<FakePlatform>();
        hostOwned_ = std::make_unique<FakeShardHost>();
        copyClient("client", {"Multi.idx", "Multi.mul"});
        write("a.txt", design(30, 0));
        write("b.txt", design(12, 0));
        write("c.txt", design(8, 0));
    }
    void cleanup() {
        delete window_;
        hostOwned_.reset();
        fake_.reset();
        dir_.reset();
    }

    void showsEachStatusInItsColourAndAppliesWhatItPlans() {
        open(kHead + entry("6", "a.txt") + entry("7", "b.txt"));
        QCOMPARE(signs(), QString("++"));
        QCOMPARE(window_->windowTitle(), QString("Shard: shard.toml"));
        const QString plan = dryRunLines();
        fake_->questionAnswers.push_back(true);
        click("cmdApply");
        QCOMPARE(fake_->questions.size(), std::size_t(1));
        QVERIFY2(fake_->questions[0].text.startsWith(plan + "\n\n"),
                 qPrintable(plan + " / " + fake_->questions[0].text));
        QVERIFY2(fake_->questionYesDefault[0], "a plan that only adds has Yes the default");
        QVERIFY2(status().startsWith("Applied: 2 added, 0 replaced, 0 removed, 0 unchanged."),
                 qPrintable(status()));
        QVERIFY(slotUsed(path("client/Multi.idx"), 6) && slotUsed(path("client/Multi.idx"), 7));
        QVERIFY(read("shard.toml.lock").contains("\"number\":6,"));
        QVERIFY(read("multis.scp").contains("[ITEMDEF 04007]"));
        QCOMPARE(signs(), QString("=="));

        // Every status at once: b.txt changed, a new entry, the client's own multi 5, a missing design, a
        // number past the end of Multi.idx, and the client's multi 3 removed with replace = true.
        write("b.txt", design(12, 3));
        write("shard.toml", kHead + entry("6", "a.txt") + entry("7", "b.txt") + entry("8", "c.txt") +
                                entry("5", "c.txt") + entry("9", "gone.txt") + entry("0x3000", "c.txt") +
                                "[[multi]]\nnumber = 3\nremove = true\nreplace = true\n");
        window_->readAgain();
        QCOMPARE(signs(), QString("=~+!!!-"));
        const struct {
            int row;
            QColor colour;
            const char* words;
        } rows[] = {{0, ShardWindow::kUnchanged, ""},
                    {1, ShardWindow::kReplace, "was 12 tiles"},
                    {2, ShardWindow::kAdd, ""},
                    {3, ShardWindow::kRefused, "replace = true"},
                    {4, ShardWindow::kRefused, "gone.txt"},
                    {5, ShardWindow::kRefused, "no slot"},
                    {6, ShardWindow::kRemove, ""}};
        for (const auto& row : rows) {
            QCOMPARE(table()->item(row.row, 3)->background().color(), row.colour);
            QVERIFY2(table()->item(row.row, 0)->text().contains(row.words),
                     qPrintable(table()->item(row.row, 0)->text()));
        }
        QCOMPARE(child<QLabel>("lblSummary")->text(),
                 QString("7 multis: 1 to add, 1 to replace, 1 to remove, 1 in the files, 3 refused"));

        const QByteArray lock = read("shard.toml.lock");
        fake_->questionAnswers.push_back(true);
        click("cmdApply");
        QCOMPARE(fake_->questions.size(), std::size_t(1));
        QVERIFY2(status().startsWith("Not applied: the plan is refused") && status().contains("! 0x5 M5"),
                 qPrintable(status()));
        QCOMPARE(read("shard.toml.lock"), lock);
        QVERIFY(!slotUsed(path("client/Multi.idx"), 8));
    }

    void previewsTheSelectedEntryAndLoadsItInTheMainWindowOnADoubleClick() {
        open(kHead + entry("6", "a.txt") + entry("7", "b.txt", "type = \"txt\"\ntemplate = 1\n"));
        table()->selectRow(1);
        click("cmdPreview");
        QCOMPARE(host().previewed.size(), std::size_t(1));
        QCOMPARE(host().previewed[0].first, std::size_t(12));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        const QRect cell = table()->visualItemRect(table()->item(1, 2));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());  // a double click's first
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(host().loadedDesigns.size(), 1);
        QVERIFY2(host().loadedDesigns[0].endsWith("b.txt txt 1"), qPrintable(host().loadedDesigns[0]));
    }

    void cancelStopsAnApplyUntilItsFirstWriteAndNeverAfter() {
        const struct {
            const char* what;
            std::function<bool(const FakePlatform::ProgressStep&)> cancelAt;
            const char* status;
            bool written;
        } rows[] = {
            {"while the designs load",
             [](const auto& at) { return at.title == "Applying" && at.step == "Loading b.txt"; },
             "Not applied: cancelled before anything was written.", false},
            {"once the writing has begun",
             [](const auto& at) { return at.title == "Applying" && !at.cancellable; }, "Applied: 2 added",
             true},
        };
        for (const auto& row : rows) {
            copyClient("client", {"Multi.idx", "Multi.mul"});
            QFile::remove(path("shard.toml.lock"));
            open(kHead + entry("6", "a.txt") + entry("7", "b.txt"));
            fake_->progressSteps.clear();
            fake_->cancelProgress = row.cancelAt;
            fake_->questionAnswers.push_back(true);
            click("cmdApply");
            QVERIFY2(status().startsWith(row.status), qPrintable(QString(row.what) + ": " + status()));
            QCOMPARE(slotUsed(path("client/Multi.idx"), 6), row.written);
            QCOMPARE(QFile::exists(path("shard.toml.lock")), row.written);
            QStringList steps;
            for (const auto& at : fake_->progressSteps) {
                steps << at.title + ": " + at.step + (at.cancellable ? "" : " (no Cancel)");
            }
            QVERIFY2(steps.contains("Planning: Loading a.txt") &&
                         steps.contains(row.written ? "Applying: Writing the client files (no Cancel)"
                                                    : "Applying: Loading b.txt"),
                     qPrintable(steps.join(" / ")));
            delete window_;
        }
    }

    void appliesToTheClientFilesOfAnotherFolderWhateverTheirCase() {
        open(kHead + entry("6", "a.txt"));
        copyClient("players", {"MULTI.IDX", "multi.MUL"});
        fake_->folderAnswers.push_back(path("players"));
        fake_->questionAnswers.push_back(true);
        click("cmdApplyOther");
        QVERIFY2(status().startsWith("Applied: 1 added"), qPrintable(status()));
        QVERIFY(slotUsed(path("players/MULTI.IDX"), 6));
        QVERIFY(!slotUsed(path("client/Multi.idx"), 6));
        QCOMPARE(signs(), QString("+"));
    }

    void eachEditKeepsEveryByteOutsideItsEntry() {
        const QByteArray golden =
            kHead +
            "\n# The mill, by Ann  \n[[multi]]\n number   = 6   # free\n script = \"a.txt\"\n"
            " name = \"Mill\"\n buy = 100\n sell = 50\n\n[[multi]]\nnumber = 7\n"
            "script = 'b.txt'\nname = \"Tower\"\nbuy = \"1k\"\nsell = 50\n";
        const QByteArray tower =
            "[[multi]]\nnumber = 7\nscript = 'b.txt'\nname = \"Tower\"\nbuy = \"1k\"\nsell = 50\n";
        auto replaced = [&](const QByteArray& from, const QByteArray& to) {
            return QByteArray(golden).replace(from, to);
        };
        const QByteArray added =
            "\n[[multi]]\nnumber = 0x8\nscript = \"c.txt\"\nname = \"Keep\"\nbuy = 9\n"
            "sell = 4\n";
        const struct {
            const char* what;
            int row;
            const char* button;
            std::function<void(QString&, ManifestEntryValues&)> answer;
            QByteArray expected;
        } rows[] = {
            {"edit: name", 0, "cmdEdit", [](QString&, ManifestEntryValues& v) { v.name = "Old \"Mill\""; },
             replaced("name = \"Mill\"", "name = \"Old \\\"Mill\\\"\"")},
            {"edit: number typed in hex", 0, "cmdEdit", [](QString& n, ManifestEntryValues&) { n = "0x10"; },
             replaced("number   = 6", "number   = 0x10")},
            {"mark for removal", 1, "cmdMarkRemoval", nullptr,
             replaced(tower, "[[multi]]\nnumber = 7\nremove = true\n")},
            {"remove entry", 1, "cmdRemoveEntry", nullptr, replaced(tower, "")},
            {"add loaded multi", -1, "cmdAddLoaded",
             [](QString& n, ManifestEntryValues& v) {
                 QCOMPARE(n, QString("0x4"));  // 0 to 3 and 5 are held, 6 and 7 named
                 v.buy = "9";
                 v.sell = "4";
             },
             golden + QByteArray(added).replace("0x8", "0x4")},
            {"add design", -1, "cmdAddDesign",
             [](QString& n, ManifestEntryValues& v) {
                 QCOMPARE(QString::fromStdString(v.name), QString("c"));
                 n = "8";
                 v.name = "Keep";
                 v.buy = "9";
                 v.sell = "4";
             },
             golden + added},
        };
        for (const auto& row : rows) {
            write("shard.toml", golden);
            if (window_ == nullptr) {
                open(golden);
            }
            window_->readAgain();
            host().loaded = LoadedMultiFacts{path("c.txt"), std::nullopt, "Keep", "9", "4"};
            fake_->fileAnswers.push_back(path("c.txt"));
            window_->setEntryAsker([&](QWidget*, QString& number, ManifestEntryValues& values) {
                row.answer(number, values);
                return true;
            });
            if (row.row >= 0) {
                table()->selectRow(row.row);
            }
            click(row.button);
            QCOMPARE(read("shard.toml"), row.expected);
            fake_->fileAnswers.clear();
        }
    }

    void refusesToEditAManifestChangedOnDiskOrThatNoLongerReads() {
        open(kHead + entry("6", "a.txt"));
        const QByteArray pulled = kHead + entry("6", "a.txt") + entry("7", "b.txt");
        write("shard.toml", pulled);  // a version-control pull while the window was open
        table()->selectRow(0);
        click("cmdRemoveEntry");
        QCOMPARE(read("shard.toml"), pulled);
        QVERIFY2(status().contains("changed on disk"), qPrintable(status()));
        QCOMPARE(table()->rowCount(), 2);

        const QByteArray broken =
            kHead + "[[multi]]\nnumber = 6\nscript = 7\nname = \"M\"\nbuy = 1\nsell = 1\n";
        write("shard.toml", broken);
        window_->readAgain();
        QCOMPARE(table()->rowCount(), 0);
        const QString summary = child<QLabel>("lblSummary")->text();
        QVERIFY2(summary.contains("shard.toml:9:") && summary.contains("script"), qPrintable(summary));
        host().loaded = LoadedMultiFacts{path("c.txt"), std::nullopt, "Keep", "9", "4"};
        click("cmdAddLoaded");
        QCOMPARE(read("shard.toml"), broken);
    }
};

}  // namespace keelwright::test

QTEST_MAIN(keelwright::test::ShardWindowTest)
#include "ShardWindowTest.moc"
