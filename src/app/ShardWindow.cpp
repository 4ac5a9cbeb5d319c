#include "app/ShardWindow.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <chrono>
#include <set>

#include "app/QtText.h"
#include "app/ShardEntryDialog.h"
#include "app/ShardHost.h"
#include "app/ToolWindowPlacement.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"
#include "clientfiles/ClientFolder.h"
#include "clientfiles/ClientMultiList.h"
#include "clientfiles/PlanText.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/PathText.h"
#include "model/TextLines.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/Extractor.h"
#include "render/PreviewTile.h"
#include "scripts/ItemScripts.h"
#include "uop/UopMultis.h"
#include "uop/UopNewEntry.h"

namespace keelwright {
namespace {

constexpr const char* kShardTitle = "Shard";
constexpr double kLockWaitSeconds = 10;  // another program's lock on the client files, as apply waits

const QColor& colourOf(PlanOutcome outcome) {
    const QColor* colours[] = {&ShardWindow::kAdd, &ShardWindow::kReplace, &ShardWindow::kRemove,
                               &ShardWindow::kUnchanged, &ShardWindow::kRefused};
    return *colours[static_cast<int>(outcome)];
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString nativePath(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(FromPath(path));
}

QString planText(const ApplyResult& result) {
    QStringList lines;
    for (const PlannedMulti& planned : result.plan) {
        lines << FromUtf8(PlanLine(planned));
    }
    return lines.join("\n");
}

}  // namespace

ShardWindow::ShardWindow(const Platform& platform, ShardHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform), host_(host), askEntry_(&ShardEntryDialog::Ask) {
    setObjectName("frmShard");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kShardTitle);
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());

    auto label = [this](const char* name) {
        auto* text = new QLabel(this);
        text->setObjectName(name);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        return text;
    };
    lblManifest_ = label("lblManifest");
    lblClient_ = label("lblClient");
    lblScripts_ = label("lblScripts");
    lblSummary_ = label("lblSummary");
    lblStatus_ = label("lblStatus");

    auto* cmdNew = MakeButton(this, "cmdNew", "&New…", "Creates a manifest with the main window's files");
    auto* cmdOpen = MakeButton(this, "cmdOpen", "&Open…", "Opens a manifest");
    auto* cmdRead = MakeButton(this, "cmdReadAgain", "&Read again", "Reads the manifest and the files again");
    auto* cmdUseMain = MakeButton(this, "cmdUseMainFiles", "Use &main window's files",
                                  "Writes the main window's client files into [client]");
    auto* cmdAddLoaded =
        MakeButton(this, "cmdAddLoaded", "Add &loaded multi…", "Adds the multi loaded in the main window");
    auto* cmdAddDesign = MakeButton(this, "cmdAddDesign", "Add &design…", "Adds a design file");
    cmdEdit_ = MakeButton(this, "cmdEdit", "&Edit…", "Changes the selected entry");
    cmdRemoveEntry_ =
        MakeButton(this, "cmdRemoveEntry", "Remove en&try", "Drops the selected entry from the manifest");
    cmdMark_ = MakeButton(this, "cmdMarkRemoval", "Mar&k for removal",
                          "Sets remove = true: the next apply takes the multi out of the files");
    cmdPreview_ = MakeButton(this, "cmdPreview", "Pre&view", "Draws the selected entry's design");
    auto* cmdApply = MakeButton(this, "cmdApply", "&Apply…", "Makes the client files match the manifest");
    auto* cmdApplyOther = MakeButton(this, "cmdApplyOther", "Apply to ot&her client files…",
                                     "Applies the manifest to the client files of another folder");
    auto* cmdScripts = MakeButton(this, "cmdScripts", "&Scripts…", "Shows the scripts of every entry");
    auto* cmdClose = MakeButton(this, "cmdClose", "&Close", {});

    tblEntries_ = new QTableWidget(0, 8, this);
    tblEntries_->setObjectName("tblEntries");
    tblEntries_->setHorizontalHeaderLabels(
        {"Status", "Multi", "Decimal", "Name", "Design", "Tiles", "Buy", "Sell"});
    tblEntries_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblEntries_->setSelectionMode(QAbstractItemView::SingleSelection);
    tblEntries_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblEntries_->verticalHeader()->setVisible(false);
    tblEntries_->horizontalHeader()->setStretchLastSection(true);
    tblEntries_->setMinimumSize(560, 220);

    auto row = [](std::initializer_list<QWidget*> controls, bool stretchFirst) {
        auto* line = new QHBoxLayout;
        for (QWidget* control : controls) {
            line->addWidget(control, stretchFirst && control == *controls.begin() ? 1 : 0);
        }
        return line;
    };
    auto* column = new QVBoxLayout(this);
    column->addLayout(row({lblManifest_, cmdNew, cmdOpen, cmdRead}, true));
    column->addLayout(row({lblClient_, cmdUseMain}, true));
    column->addWidget(lblScripts_);
    column->addWidget(lblSummary_);
    column->addWidget(tblEntries_, 1);
    column->addLayout(
        row({cmdAddLoaded, cmdAddDesign, cmdEdit_, cmdRemoveEntry_, cmdMark_, cmdPreview_}, false));
    auto* commands = row({cmdApply, cmdApplyOther, cmdScripts}, false);
    commands->addStretch(1);
    commands->addWidget(cmdClose);
    column->addLayout(commands);
    column->addWidget(lblStatus_);
    ScrollWhenSmall(this);

    connect(cmdNew, &QPushButton::clicked, this, &ShardWindow::newManifest);
    connect(cmdOpen, &QPushButton::clicked, this, &ShardWindow::chooseManifest);
    connect(cmdRead, &QPushButton::clicked, this, &ShardWindow::readAgain);
    connect(cmdUseMain, &QPushButton::clicked, this, &ShardWindow::useMainWindowFiles);
    connect(cmdAddLoaded, &QPushButton::clicked, this, &ShardWindow::addLoadedMulti);
    connect(cmdAddDesign, &QPushButton::clicked, this, &ShardWindow::addDesign);
    connect(cmdEdit_, &QPushButton::clicked, this, &ShardWindow::editEntry);
    connect(cmdRemoveEntry_, &QPushButton::clicked, this, &ShardWindow::removeEntry);
    connect(cmdMark_, &QPushButton::clicked, this, &ShardWindow::markForRemoval);
    connect(cmdPreview_, &QPushButton::clicked, this, &ShardWindow::previewEntry);
    connect(tblEntries_, &QTableWidget::cellDoubleClicked, this, &ShardWindow::loadEntry);
    connect(cmdApply, &QPushButton::clicked, this, &ShardWindow::apply);
    connect(cmdApplyOther, &QPushButton::clicked, this, &ShardWindow::applyToOtherFiles);
    connect(cmdScripts, &QPushButton::clicked, this, &ShardWindow::showScripts);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    showManifest();
}

ShardWindow::~ShardWindow() = default;

void ShardWindow::openManifest(const QString& path) {
    const bool first = !isVisible();
    if (!path.isEmpty()) {
        try {
            document_ = std::make_unique<ManifestDocument>(platform_.fileSystem, ToPath(path));
        } catch (const Error& e) {
            document_.reset();
            showFailure(e, "The manifest could not be read");
        }
    }
    showManifest();
    if (first) {
        resize(760, 520);
        PlaceToolWindow(this);
    }
    show();
    raise();
    activateWindow();
}

void ShardWindow::readAgain() {
    if (document_) {
        try {
            document_->read();
        } catch (const Error& e) {
            showFailure(e, "The manifest could not be read");
        }
    }
    showManifest();
}

void ShardWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The files or the manifest may have changed while another window had the focus: the main window's
    // patch, an editor, a version-control pull.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && document_) {
        readAgain();
    }
}

void ShardWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

ComponentsList ShardWindow::components() const {
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    if (manifest != nullptr && manifest->scripts && manifest->scripts->components) {
        return ReadComponentsList(*manifest->scripts->components);
    }
    return host_.hostComponents();
}

void ShardWindow::showManifest() {
    plan_.reset();
    planError_.clear();
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    setWindowTitle(document_ ? QString(kShardTitle) + ": " + FromPath(document_->path().filename())
                             : kShardTitle);
    lblManifest_->setText(document_ ? "Manifest: " + nativePath(document_->path()) : "No manifest is open.");
    if (document_ && !manifest) {
        planError_ = "The manifest does not read: " + FromUtf8(document_->error()->description()) +
                     ". Mend it in a text editor, then Read again.";
    }
    if (manifest) {
        QStringList files;
        for (const auto& file : {manifest->idx, manifest->mul, manifest->uop}) {
            if (file) {
                files << nativePath(*file);
            }
        }
        lblClient_->setText("Client files: " + files.join(", "));
        lblScripts_->setText(manifest->scripts ? QString("Scripts: %1 into %2")
                                                     .arg(ScriptFormatName(manifest->scripts->format))
                                                     .arg(nativePath(manifest->scripts->output))
                                               : QString("Scripts: none ([scripts] is not given)"));
        try {
            ApplyOptions options;
            options.dryRun = true;
            options.refuseFailingEntries = true;
            if (!(manifest->scripts && manifest->scripts->components)) {
                options.componentsFile = host_.hostComponentsFile();
            }
            options.fileTime = NewEntryTime(platform_);
            plan_ = run(*manifest, options, "Planning");
        } catch (const Error& e) {
            planError_ = e.number() == ErrorNumber::Cancelled ? "No plan: cancelled. Read again to plan."
                                                              : "No plan: " + FromUtf8(e.description());
        }
    } else {
        lblClient_->setText("Client files: none");
        lblScripts_->setText("Scripts: none");
    }
    if (plan_) {
        // "12 multis: 2 to add, 1 to replace, 9 in the files": the counts that are not 0.
        QStringList parts;
        const std::pair<int, const char*> counts[] = {{plan_->added, "to add"},
                                                      {plan_->replaced, "to replace"},
                                                      {plan_->removed, "to remove"},
                                                      {plan_->unchanged, "in the files"},
                                                      {plan_->refused, "refused"}};
        for (const auto& [count, words] : counts) {
            if (count > 0) {
                parts << QString("%1 %2").arg(count).arg(words);
            }
        }
        lblSummary_->setText(QString("%1 multis").arg(plan_->plan.size()) +
                             (parts.isEmpty() ? QString() : ": " + parts.join(", ")));
    } else {
        lblSummary_->setText(planError_);
    }
    fillTable();
    if (document_) {
        emit manifestChanged(FromPath(document_->path()));
    }
}

std::map<std::int32_t, QString> ShardWindow::shardNames() const {
    std::map<std::int32_t, QString> names;
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    if (manifest == nullptr) {
        return names;
    }
    ManifestLock lock;
    try {
        const std::filesystem::path lockPath = LockPathOf(document_->path());
        if (platform_.fileSystem.exists(lockPath)) {
            lock = ParseManifestLock(ReadFileBytes(lockPath), PathText(lockPath));
        }
    } catch (const Error&) {
        lock.clear();  // the plan names a lock file that does not read
    }
    for (const ManifestEntry& entry : manifest->entries) {
        QString name = entry.remove ? QString("(to remove)") : FromBytes(entry.name);
        if (lock.contains(entry.number)) {
            name += " (written)";
        }
        names[entry.number] = name;
    }
    return names;
}

void ShardWindow::fillTable() {
    tblEntries_->clearContents();
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    const std::size_t rows = manifest ? manifest->entries.size() : 0;
    tblEntries_->setRowCount(static_cast<int>(rows));
    for (std::size_t k = 0; k < rows; ++k) {
        const ManifestEntry& entry = manifest->entries[k];
        const PlannedMulti* planned = plan_ ? &plan_->plan[k] : nullptr;
        QString design = entry.remove ? QString("(removed)") : FromPath(entry.script.filename());
        if (entry.choice.design) {
            design += ", design " + FromUtf8(*entry.choice.design);
        }
        if (entry.choice.templateId) {
            design += ", template " + FromUtf8(*entry.choice.templateId);
        }
        QString status = planned ? QString(PlanSign(planned->outcome)) : QString("?");
        if (planned && planned->outcome == PlanOutcome::Replaced) {
            status += planned->was ? QString(" (was %1 tiles)").arg(*planned->was) : " (was damaged)";
        }
        if (planned && planned->outcome == PlanOutcome::Refused) {
            status += " " + FromUtf8(planned->refusal);
        }
        const QString cells[] = {status,
                                 FromUtf8(MultiHex(entry.number)),
                                 QString::number(entry.number),
                                 FromBytes(entry.name),
                                 design,
                                 planned && !entry.remove ? QString::number(planned->tiles) : QString(),
                                 FromBytes(entry.buy),
                                 FromBytes(entry.sell)};
        for (int column = 0; column < 8; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (planned) {
                item->setBackground(colourOf(planned->outcome));
                item->setForeground(QColor(0, 0, 0));
            }
            if (column == 0) {
                item->setToolTip(cells[0]);
            }
            tblEntries_->setItem(static_cast<int>(k), column, item);
        }
    }
    tblEntries_->resizeColumnsToContents();
}

const ManifestEntry* ShardWindow::selectedEntry() const {
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    const QList<QTableWidgetItem*> selected = tblEntries_->selectedItems();
    const int row = selected.isEmpty() ? -1 : selected.front()->row();
    if (manifest == nullptr || row < 0 || static_cast<std::size_t>(row) >= manifest->entries.size()) {
        return nullptr;
    }
    return &manifest->entries[static_cast<std::size_t>(row)];
}

ManifestEntryValues ShardWindow::valuesOf(const ManifestEntry& entry) const {
    ManifestEntryValues values;
    values.number = entry.number;
    if (!entry.remove) {
        values.script = ManifestPathText(entry.script, document_->path().parent_path());
        values.type = entry.type ? ScriptTypeShortName(*entry.type) : std::string();
    }
    values.design = entry.choice.design;
    values.templateId = entry.choice.templateId;
    values.name = Utf8OfLatin1(entry.name);
    values.buy = Utf8OfLatin1(entry.buy);
    values.sell = Utf8OfLatin1(entry.sell);
    values.replace = entry.replace;
    values.remove = entry.remove;
    values.exact = entry.exact;
    return values;
}

bool ShardWindow::edit(const std::function<void(ManifestEditor&)>& change, const QString& done,
                       const std::optional<std::string>& basis) {
    if (!document_) {
        platform_.messages.showMessage(this, "Open or create a manifest first.", kShardTitle,
                                       MessageIcon::Warning);
        return false;
    }
    try {
        if (basis && *basis != document_->text()) {
            // Read again while the dialog was open: its values may be stale.
            throw Error(ErrorNumber::InvalidCall,
                        "changed on disk while the dialog was open; it has been read again, so check it and "
                        "make the change again")
                .at(PathText(document_->path()));
        }
        document_->edit(change);
    } catch (const Error& e) {
        showManifest();
        showFailure(e, "The manifest was not changed");
        return false;
    }
    showManifest();
    showStatus(done);
    return true;
}

void ShardWindow::newManifest() {
    FileDialogRequest request{"New manifest", "Keelwright manifests (*.toml)|*.toml", "toml", {}};
    const QString path = platform_.files.getSaveFileName(this, request, "shard.toml");
    if (path.isEmpty()) {
        return;
    }
    const std::filesystem::path folder = ToPath(path).parent_path();
    const PatchTargets targets = host_.hostClientFiles();
    if (!targets.mul && !targets.uop) {
        platform_.messages.showMessage(this,
                                       "Choose the client's Multi.idx and Multi.mul, or its "
                                       "MultiCollection.uop, in the main window first.",
                                       kShardTitle, MessageIcon::Warning);
        return;
    }
    auto text = [&](const std::optional<std::filesystem::path>& file) {
        return file ? ManifestPathText(*file, folder) : std::string();
    };
    try {
        WriteFileAtomically(
            platform_.fileSystem, ToPath(path),
            NewManifestText(text(targets.mul ? std::optional(targets.mul->multiIdx) : std::nullopt),
                            text(targets.mul ? std::optional(targets.mul->multiMul) : std::nullopt),
                            text(targets.uop), utf8(host_.hostScriptFormat())));
    } catch (const Error& e) {
        showFailure(e, "The manifest was not created");
        return;
    }
    openManifest(path);
}

void ShardWindow::chooseManifest() {
    FileDialogRequest request{"Open manifest", "Keelwright manifests (*.toml)|*.toml", "toml", {}};
    const QString path = platform_.files.getOpenFileName(this, request);
    if (!path.isEmpty()) {
        openManifest(path);
    }
}

void ShardWindow::useMainWindowFiles() {
    const PatchTargets targets = host_.hostClientFiles();
    if (!document_ || (!targets.mul && !targets.uop)) {
        platform_.messages.showMessage(
            this, "Open a manifest and choose the client files in the main window first.", kShardTitle,
            MessageIcon::Warning);
        return;
    }
    const std::filesystem::path folder = document_->path().parent_path();
    auto text = [&](const std::optional<std::filesystem::path>& file) {
        return file ? std::optional(ManifestPathText(*file, folder)) : std::nullopt;
    };
    edit(
        [&](ManifestEditor& editor) {
            editor.setTableKey("client", "idx",
                               text(targets.mul ? std::optional(targets.mul->multiIdx) : std::nullopt));
            editor.setTableKey("client", "mul",
                               text(targets.mul ? std::optional(targets.mul->multiMul) : std::nullopt));
            editor.setTableKey("client", "uop", text(targets.uop));
        },
        "The main window's client files are written into [client].");
}

void ShardWindow::addEntry(ManifestEntryValues values) {
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    if (manifest == nullptr) {
        platform_.messages.showMessage(this, "Open a manifest that reads first.", kShardTitle,
                                       MessageIcon::Warning);
        return;
    }
    // The lowest number free in the client files and named by no entry.
    QString number;
    try {
        PatchTargets targets;
        if (manifest->idx) {
            targets.mul = ClientFiles{*manifest->idx, *manifest->mul};
        }
        targets.uop = manifest->uop;
        const ClientMultiList list = ListClientMultis(platform_.fileSystem, targets, manifest->recordSize);
        for (const std::int32_t free : FreeMultiNumbers(list, manifest->entries.size() + 1)) {
            if (manifest->entryOf(free) == nullptr) {
                number = FromUtf8(MultiHex(free));
                break;
            }
        }
    } catch (const Error&) {
        number.clear();  // the files do not read: the user types the number
    }
    const std::string basis = document_->text();
    if (!askEntry_(this, number, values)) {
        return;
    }
    std::optional<std::int32_t> parsed;
    try {
        parsed = ParseMultiNumber(utf8(number), kHighestUopMulti);
        if (!parsed) {
            throw Error(ErrorNumber::InvalidCall, "the entry needs a multi number");
        }
    } catch (const Error& e) {
        showFailure(e, "Nothing was added");
        return;
    }
    values.number = *parsed;
    edit([&](ManifestEditor& editor) { editor.appendEntry(values); },
         "Added " + FromUtf8(MultiHex(values.number)) + " to the manifest.", basis);
}

void ShardWindow::addLoadedMulti() {
    const std::optional<LoadedMultiFacts> loaded = host_.hostLoadedMulti();
    if (!loaded) {
        platform_.messages.showMessage(this, "Load a multi in the main window first.", kShardTitle,
                                       MessageIcon::Warning);
        return;
    }
    if (!document_) {
        chooseManifest();
        return;
    }
    ManifestEntryValues values;
    values.script = ManifestPathText(ToPath(loaded->script), document_->path().parent_path());
    values.type = loaded->type ? ScriptTypeShortName(*loaded->type) : std::string();
    values.name = utf8(loaded->name);
    values.buy = utf8(loaded->buy);
    values.sell = utf8(loaded->sell);
    addEntry(values);
}

void ShardWindow::addDesign() {
    if (!document_) {
        return;
    }
    FileDialogRequest request{"Add design",
                              "Designs (*.txt *.wsc *.uoa *.csv)|*.txt;*.wsc;*.uoa;*.csv",
                              {},
                              FromPath(document_->path().parent_path())};
    const QString path = platform_.files.getOpenFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    ManifestEntryValues values;
    values.script = ManifestPathText(ToPath(path), document_->path().parent_path());
    values.name = utf8(QFileInfo(path).completeBaseName());
    addEntry(values);
}

void ShardWindow::editEntry() {
    const ManifestEntry* entry = selectedEntry();
    if (entry == nullptr) {
        return;
    }
    const std::int32_t was = entry->number;
    ManifestEntryValues values = valuesOf(*entry);
    QString number = FromUtf8(MultiHex(was));
    const std::string basis = document_->text();
    if (!askEntry_(this, number, values)) {
        return;
    }
    try {
        const std::optional<std::int32_t> parsed = ParseMultiNumber(utf8(number), kHighestUopMulti);
        if (!parsed) {
            throw Error(ErrorNumber::InvalidCall, "the entry needs a multi number");
        }
        values.number = *parsed;
    } catch (const Error& e) {
        showFailure(e, "The entry was not changed");
        return;
    }
    edit([&](ManifestEditor& editor) { editor.changeEntry(was, values); },
         "Changed " + FromUtf8(MultiHex(values.number)) + ".", basis);
}

void ShardWindow::removeEntry() {
    if (const ManifestEntry* entry = selectedEntry()) {
        const std::int32_t number = entry->number;
        edit([&](ManifestEditor& editor) { editor.dropEntry(number); },
             "Dropped " + FromUtf8(MultiHex(number)) + " from the manifest; the files keep it.");
    }
}

void ShardWindow::markForRemoval() {
    if (const ManifestEntry* entry = selectedEntry()) {
        ManifestEntryValues values = valuesOf(*entry);
        values.remove = true;
        edit([&](ManifestEditor& editor) { editor.changeEntry(values.number, values); },
             FromUtf8(MultiHex(values.number)) +
                 " is marked for removal: the next apply takes it out of the files.");
    }
}

void ShardWindow::previewEntry() {
    const ManifestEntry* entry = selectedEntry();
    if (entry == nullptr || entry->remove) {
        return;
    }
    try {
        ComponentTable table;
        LoadOptions options;
        options.exact = entry->exact;
        options.choice = entry->choice;
        LoadMulti(entry->script, entry->type, table, components(), {}, options);
        host_.hostPreview(PreviewTilesOf(table), FromPath(entry->script));
    } catch (const Error& e) {
        showFailure(e, "Preview failed");
    }
}

void ShardWindow::loadEntry() {
    const ManifestEntry* entry = selectedEntry();
    if (entry != nullptr && !entry->remove) {
        host_.hostLoadDesign(FromPath(entry->script), entry->type, entry->choice);
    }
}

void ShardWindow::apply() {
    applyTo(std::nullopt);
}

void ShardWindow::applyToOtherFiles() {
    if (!document_ || !document_->manifest()) {
        return;
    }
    const QString folder = platform_.files.getExistingFolder(this, "Apply to the client files in", {});
    if (folder.isEmpty()) {
        return;
    }
    try {
        applyTo(ClientFilesIn(ToPath(folder)));
    } catch (const Error& e) {
        showFailure(e, "Nothing was written");
    }
}

void ShardWindow::applyTo(const std::optional<PatchTargets>& other) {
    if (document_ && document_->changedOnDisk()) {
        readAgain();
        if (document_->changedOnDisk()) {
            return;  // it no longer reads; the status line says why
        }
    }
    const Manifest* read = document_ ? document_->manifest() : nullptr;
    if (read == nullptr) {
        platform_.messages.showMessage(this, planError_.isEmpty() ? "Open a manifest first." : planError_,
                                       kShardTitle, MessageIcon::Warning);
        return;
    }
    const Manifest manifest = other ? WithClientFiles(*read, *other) : *read;
    ApplyOptions options;
    options.waitSeconds = kLockWaitSeconds;
    options.refuseFailingEntries = true;  // a refused entry writes nothing, as any refusal
    if (!(read->scripts && read->scripts->components)) {
        options.componentsFile = host_.hostComponentsFile();
    }
    try {
        options.fileTime = NewEntryTime(platform_);
        options.dryRun = true;
        const ApplyResult planned = run(manifest, options, "Planning");
        if (planned.refused > 0) {
            QStringList refused;
            for (const PlannedMulti& p : planned.plan) {
                if (p.outcome == PlanOutcome::Refused) {
                    refused << FromUtf8(PlanLine(p));
                }
            }
            showStatus("Not applied: the plan is refused, nothing was written.\n" + refused.join("\n"));
            return;
        }
        if (!planned.changes()) {
            showStatus("No changes: the files match the manifest.");
            return;
        }
        const QString question =
            planText(planned) + "\n\nApply these changes" +
            (other ? " to the client files in " + nativePath(other->mul ? other->mul->multiIdx.parent_path()
                                                                        : other->uop->parent_path())
                   : QString()) +
            "?";
        const bool onlyAdds = planned.replaced == 0 && planned.removed == 0;
        if (!(onlyAdds ? platform_.messages.askYesNoDefaultYes(this, question, kShardTitle)
                       : platform_.messages.askYesNo(this, question, kShardTitle))) {
            showStatus("Not applied.");
            return;
        }
        options.dryRun = false;
        platform_.pointer.setBusy(true);
        const ApplyResult result = run(manifest, options, "Applying");
        platform_.pointer.setBusy(false);
        QString text = result.refused > 0 ? "Not applied: the plan is refused, nothing was written."
                                          : "Applied: " + FromUtf8(PlanCountsText(result));
        if (result.scriptsWritten) {
            text += " Wrote the scripts to " + nativePath(manifest.scripts->output) + ".";
        }
        if (result.lateFailure) {
            text += " But " + FromUtf8(result.lateFailure->description()) + "; apply again to finish.";
        }
        showManifest();
        showStatus(text);
    } catch (const Error& e) {
        platform_.pointer.setBusy(false);
        showManifest();
        if (e.number() == ErrorNumber::Cancelled) {
            showStatus("Not applied: cancelled before anything was written.");
        } else {
            showFailure(e, "Nothing was written");
        }
    }
}

ApplyResult ShardWindow::run(const Manifest& manifest, ApplyOptions options, const QString& title) {
    platform_.progress.beginProgress(this, title);
    struct EndProgress {
        ProgressDialogs& progress;
        ~EndProgress() { progress.endProgress(); }
    } end{platform_.progress};
    options.progress = [this](const ApplyProgress& at) {
        return platform_.progress.progressStep(FromUtf8(at.step), at.done, at.total, !at.writing);
    };
    return ApplyManifest(platform_.fileSystem, document_->path(), manifest, components(), options);
}

void ShardWindow::showScripts() {
    const Manifest* manifest = document_ ? document_->manifest() : nullptr;
    if (manifest == nullptr || !manifest->scripts) {
        platform_.messages.showMessage(this, "The manifest has no [scripts] table.", kShardTitle,
                                       MessageIcon::Warning);
        return;
    }
    if (!plan_) {
        showStatus(planError_);
        return;
    }
    host_.hostShowScripts(FromBytes(plan_->scriptsText));
}

void ShardWindow::showStatus(const QString& text) {
    lblStatus_->setText(text);
}

void ShardWindow::showFailure(const Error& error, const QString& what) {
    platform_.sounds.beep();
    showStatus(what + ": " + FromUtf8(error.description()));
}

}  // namespace keelwright
