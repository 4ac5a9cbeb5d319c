#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/Platform.h"
#include "clientfiles/ManifestApply.h"
#include "clientfiles/ManifestDocument.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace keelwright {

class ShardHost;

// frmShard: a shard's manifest of custom multis. The path with New…, Open… and Read again; the client files
// it names; the table of entries with the plan of `apply --dry-run` as each row's status (+ add, ~ replace,
// - remove, = in the files, ! refused) and the summary above it; the edits, each written to the manifest at
// once and touching only the lines of its entry (ManifestEditor); Apply…, Apply to other client files… and
// Scripts…. Not modal; Close or Escape destroys it.
class ShardWindow : public QWidget {
    Q_OBJECT

public:
    // The rows' background colours by status, all light under dark text.
    static inline const QColor kAdd{200, 240, 200};
    static inline const QColor kReplace{255, 236, 179};
    static inline const QColor kRemove{255, 214, 214};
    static inline const QColor kUnchanged{255, 255, 255};
    static inline const QColor kRefused{255, 170, 170};

    // What the entry dialog edits: the number as typed, and the entry's other values.
    using EntryAsker = std::function<bool(QWidget* parent, QString& number, ManifestEntryValues& values)>;

    ShardWindow(const Platform& platform, ShardHost& host, QWidget* parent = nullptr);
    ~ShardWindow() override;

    // Opens the manifest at `path` (none when empty) and shows the window, the first time beside the one that
    // opened it.
    void openManifest(const QString& path);
    // Replaces the entry dialog (tests answer it).
    void setEntryAsker(EntryAsker asker) { askEntry_ = std::move(asker); }
    // Reads the manifest again and computes the plan.
    void readAgain();

    const ManifestDocument* document() const { return document_.get(); }
    // The name of each number the manifest names, marked " (written)" where its lock file says it wrote it.
    std::map<std::int32_t, QString> shardNames() const;
    const std::optional<ApplyResult>& plan() const { return plan_; }

signals:
    // The manifest opened, was read again or changed.
    void manifestChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void newManifest();
    void chooseManifest();
    void useMainWindowFiles();
    void addLoadedMulti();
    void addDesign();
    void editEntry();
    void removeEntry();
    void markForRemoval();
    void previewEntry();
    // A double click: the selected entry's design loads in the main window.
    void loadEntry();
    // Applies, or plans with a dry run, showing the progress under `title`; Cancel works until the first
    // write.
    ApplyResult run(const Manifest& manifest, ApplyOptions options, const QString& title);
    void apply();
    void applyToOtherFiles();
    void showScripts();

    // Computes the plan and fills the window.
    void showManifest();
    void fillTable();
    // Adds an entry after the entry dialog, with the number defaulting to the lowest free one.
    void addEntry(ManifestEntryValues values);
    // Makes the edit, or says why not; true when written. `basis`, when given, is the text the edit's values
    // were read from: a manifest read again since then is not edited.
    bool edit(const std::function<void(ManifestEditor&)>& change, const QString& done,
              const std::optional<std::string>& basis = std::nullopt);
    // The entry of the selected row; null when none is selected.
    const ManifestEntry* selectedEntry() const;
    ManifestEntryValues valuesOf(const ManifestEntry& entry) const;
    ComponentsList components() const;
    // Applies the manifest (with the client files of `other`, when given) after the confirmation.
    void applyTo(const std::optional<PatchTargets>& other);
    void showStatus(const QString& text);
    void showFailure(const Error& error, const QString& what);

    Platform platform_;
    ShardHost& host_;
    EntryAsker askEntry_;
    std::unique_ptr<ManifestDocument> document_;
    std::optional<ApplyResult> plan_;
    QString planError_;

    QLabel* lblManifest_;
    QLabel* lblClient_;
    QLabel* lblScripts_;
    QLabel* lblSummary_;
    QTableWidget* tblEntries_;
    QLabel* lblStatus_;
    QPushButton* cmdEdit_;
    QPushButton* cmdRemoveEntry_;
    QPushButton* cmdMark_;
    QPushButton* cmdPreview_;
};

}  // namespace keelwright
