#include "app/ClientMultisWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QtText.h"
#include "app/ReaderVerdictView.h"
#include "app/ToolWindowPlacement.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"
#include "clientfiles/ClientFileLocks.h"
#include "clientfiles/MultiRemoval.h"
#include "clientfiles/ReaderCheck.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/ExtractFormats.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/Slots.h"
#include "uop/UopMultis.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

constexpr const char* kClientMultisTitle = "Client multis";
// The formats of extract --format, by the extension of the name chosen.
constexpr const char* kExtractFilter =
    "Multi text files (*.txt)|*.txt|CSV tile lists (*.csv)|*.csv|UO Architect designs (*.uoa)|*.uoa|"
    "WSC exports (*.wsc)|*.wsc";
constexpr const char* kExactFilter = "Multi text files (*.txt)|*.txt";

QString countText(std::optional<std::int32_t> count) {
    return count ? QString::number(*count) : QString("damaged");
}

// One figure when both files agree (or one holds the multi), both when they differ.
QString tilesText(const ClientMulti& multi) {
    if (multi.inMul && multi.inUop && multi.mulComponents != multi.uopComponents) {
        return countText(multi.mulComponents) + " / " + countText(multi.uopComponents) + " (UOP)";
    }
    return countText(multi.inMul ? multi.mulComponents : multi.uopComponents);
}

}  // namespace

ClientMultisWindow::ClientMultisWindow(const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName("frmClientMultis");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kClientMultisTitle);
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());

    lblFiles_ = new QLabel(this);
    lblFiles_->setObjectName("lblFiles");
    lblFiles_->setWordWrap(true);
    lblFiles_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    verdicts_ = new ReaderVerdictView(this);
    tblMultis_ = new QTableWidget(0, 5, this);
    tblMultis_->setObjectName("tblMultis");
    tblMultis_->setHorizontalHeaderLabels({"Multi", "Decimal", "Item", "Tiles", "Files"});
    tblMultis_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblMultis_->setSelectionMode(QAbstractItemView::SingleSelection);
    tblMultis_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblMultis_->verticalHeader()->setVisible(false);
    tblMultis_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblMultis_->horizontalHeader()->setStretchLastSection(true);
    tblMultis_->setMinimumSize(480, 240);

    lblSelected_ = new QLabel(this);
    lblSelected_->setObjectName("lblSelected");
    lblSelected_->setWordWrap(true);
    lblSelected_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    cmdFreeNumbers_ = MakeButton(this, "cmdFreeNumbers", "&Free numbers",
                                 "Lists the lowest numbers that no file holds, for the multi number box");
    lblFreeNumbers_ = new QLabel(this);
    lblFreeNumbers_->setObjectName("lblFreeNumbers");
    lblFreeNumbers_->setWordWrap(true);
    lblFreeNumbers_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    cmdPreview_ =
        MakeButton(this, "cmdPreview", "Pre&view", "Draws the selected multi in the preview window");
    cmdExtract_ = MakeButton(this, "cmdExtract", "&Extract…", "Writes the selected multi as multi text");
    chkExact_ = new QCheckBox("E&xact", this);
    chkExact_->setObjectName("chkExact");
    chkExact_->setToolTip(
        "Extract every record byte for byte, the lead record and the whole Flags included, for a copy at the "
        "same number");
    cmdRemove_ = MakeButton(this, "cmdRemove", "&Remove…", "Removes the selected multi from every file");
    cmdRefresh_ = MakeButton(this, "cmdRefresh", "Rea&d again", "Reads the files again");
    cmdClose_ = MakeButton(this, "cmdClose", "&Close", {});

    auto* free = new QHBoxLayout;
    free->addWidget(cmdFreeNumbers_);
    free->addWidget(lblFreeNumbers_, 1);
    auto* commands = new QHBoxLayout;
    for (QWidget* control :
         std::initializer_list<QWidget*>{cmdPreview_, cmdExtract_, chkExact_, cmdRemove_}) {
        commands->addWidget(control);
    }
    commands->addStretch(1);
    commands->addWidget(cmdRefresh_);
    commands->addWidget(cmdClose_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(lblFiles_);
    column->addWidget(verdicts_);
    column->addWidget(tblMultis_, 1);
    column->addWidget(lblSelected_);
    column->addLayout(free);
    column->addLayout(commands);
    ScrollWhenSmall(this);

    connect(tblMultis_, &QTableWidget::itemSelectionChanged, this, &ClientMultisWindow::showSelection);
    connect(tblMultis_, &QTableWidget::cellDoubleClicked, this, &ClientMultisWindow::previewSelected);
    connect(cmdFreeNumbers_, &QPushButton::clicked, this, &ClientMultisWindow::showFreeNumbers);
    connect(cmdPreview_, &QPushButton::clicked, this, &ClientMultisWindow::previewSelected);
    connect(cmdExtract_, &QPushButton::clicked, this, &ClientMultisWindow::extractSelected);
    connect(cmdRemove_, &QPushButton::clicked, this, &ClientMultisWindow::removeSelected);
    connect(cmdRefresh_, &QPushButton::clicked, this, &ClientMultisWindow::refresh);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    showSelection();
}

void ClientMultisWindow::showFiles(const PatchTargets& targets) {
    const bool first = !isVisible();
    targets_ = targets;
    refresh();
    if (first) {
        resize(640, 480);
        PlaceToolWindow(this);
    }
    show();
    raise();
    activateWindow();
}

void ClientMultisWindow::refresh() {
    const std::optional<std::int32_t> keep = selectedMulti();
    QStringList names;
    if (targets_.mul) {
        names << QDir::toNativeSeparators(FromPath(targets_.mul->multiIdx))
              << QDir::toNativeSeparators(FromPath(targets_.mul->multiMul));
    }
    if (targets_.uop) {
        names << QDir::toNativeSeparators(FromPath(*targets_.uop));
    }
    try {
        const ClientFileLocks locks(platform_.fileSystem, targets_.mul, targets_.uop, LockKind::Shared);
        ReaderCheck check = CheckReaders(platform_.fileSystem, targets_);
        verdicts_->showCheck(check);
        list_ = std::move(check.files);
        QString text = QString("%1 multis in %2").arg(list_.multis.size()).arg(names.join(", "));
        const std::size_t problems =
            (list_.mul ? list_.mul->problems.size() : 0) + (list_.uop ? list_.uop->problems.size() : 0);
        if (problems > 0) {
            text += QString("; %1 problems, which keelwright-cli list names").arg(problems);
        }
        lblFiles_->setText(text);
    } catch (const Error& e) {
        list_ = ClientMultiList();
        verdicts_->clearCheck();
        lblFiles_->setText("The files could not be read: " + FromUtf8(e.description()));
    }
    fillTable();
    lblFreeNumbers_->clear();
    if (keep) {
        selectMulti(*keep);
    }
    showSelection();
}

void ClientMultisWindow::fillTable() {
    tblMultis_->clearContents();
    tblMultis_->setColumnCount(shardNames_.empty() ? 5 : 6);
    if (!shardNames_.empty()) {
        tblMultis_->setHorizontalHeaderItem(5, new QTableWidgetItem("Name"));
    }
    tblMultis_->setRowCount(static_cast<int>(list_.multis.size()));
    for (int row = 0; row < tblMultis_->rowCount(); ++row) {
        const ClientMulti& multi = list_.multis[static_cast<std::size_t>(row)];
        const QString cells[] = {"0x" + QString::number(multi.multi, 16).toUpper(),
                                 QString::number(multi.multi), FromUtf8(multi.item), tilesText(multi),
                                 filesText(multi.inMul, multi.inUop)};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignVCenter | (column < 4 ? Qt::AlignRight : Qt::AlignLeft));
            tblMultis_->setItem(row, column, item);
        }
        verdicts_->markRow(*tblMultis_, row, multi.multi);
        if (const auto name = shardNames_.find(multi.multi); name != shardNames_.end()) {
            tblMultis_->setItem(row, 5, new QTableWidgetItem(name->second));
        }
    }
    tblMultis_->resizeColumnsToContents();
}

void ClientMultisWindow::setShardNames(std::map<std::int32_t, QString> names) {
    shardNames_ = std::move(names);
    const std::optional<std::int32_t> keep = selectedMulti();
    fillTable();
    if (keep) {
        selectMulti(*keep);
    }
}

std::optional<std::int32_t> ClientMultisWindow::selectedMulti() const {
    const ClientMulti* multi = selected();
    return multi ? std::optional(multi->multi) : std::nullopt;
}

void ClientMultisWindow::selectMulti(std::int32_t multi) {
    const auto found = std::find_if(list_.multis.begin(), list_.multis.end(),
                                    [multi](const ClientMulti& m) { return m.multi == multi; });
    if (found == list_.multis.end()) {
        tblMultis_->clearSelection();
        return;
    }
    tblMultis_->selectRow(static_cast<int>(found - list_.multis.begin()));
}

const ClientMulti* ClientMultisWindow::selected() const {
    const QList<QTableWidgetItem*> items = tblMultis_->selectedItems();
    if (items.isEmpty()) {
        return nullptr;
    }
    const auto row = static_cast<std::size_t>(items.front()->row());
    return row < list_.multis.size() ? &list_.multis[row] : nullptr;
}

void ClientMultisWindow::showSelection() {
    const ClientMulti* multi = selected();
    for (QWidget* command : std::initializer_list<QWidget*>{cmdPreview_, cmdExtract_, cmdRemove_}) {
        command->setEnabled(multi != nullptr);
    }
    if (multi == nullptr) {
        lblSelected_->setText("Select a multi to preview, extract or remove it.");
        return;
    }
    // The components (doors, signs) need the tiles themselves: one multi's block, a bounded read.
    QString text = QString("%1, item %2, in %3")
                       .arg(FromUtf8(MultiText(multi->multi)), FromUtf8(multi->item),
                            filesText(multi->inMul, multi->inUop));
    try {
        const std::vector<PreviewTile> tiles = tilesOf(*multi);
        const auto components = std::count_if(tiles.begin(), tiles.end(),
                                              [](const PreviewTile& tile) { return tile.isComponent(); });
        text += QString(": %1 tiles, %2 of them components (doors, signs)").arg(tiles.size()).arg(components);
    } catch (const Error& e) {
        text += ": " + FromUtf8(e.description());
    }
    text[0] = text[0].toUpper();  // "Multi 0x2 (2), ..."
    lblSelected_->setText(text);
}

void ClientMultisWindow::showFreeNumbers() {
    const std::vector<std::int32_t> free = FreeMultiNumbers(list_, kFreeNumbersShown);
    QStringList numbers;
    for (const std::int32_t multi : free) {
        numbers << FromUtf8(MultiNumberText(multi));
    }
    lblFreeNumbers_->setText(numbers.isEmpty() ? QString("No number is free.")
                                               : "Free: " + numbers.join(", "));
}

std::vector<PreviewTile> ClientMultisWindow::tilesOf(const ClientMulti& multi) const {
    const ClientFileLocks locks(platform_.fileSystem, targets_.mul, targets_.uop, LockKind::Shared);
    if (multi.inMul && targets_.mul && list_.mul) {
        const std::int32_t slot = SlotOfMultiNumber(multi.multi);
        const IndexRecord entry = ReadIndexEntry(platform_.fileSystem, targets_.mul->multiIdx, slot);
        const RecordSize size = list_.mul->recordSize.size;
        return PreviewTilesOfBlock(
            ReadMultiBlock(platform_.fileSystem, targets_.mul->multiMul, slot, entry, size), size);
    }
    return PreviewTilesOfUop(ReadUopMulti(platform_.fileSystem, *targets_.uop, multi.multi).payload);
}

void ClientMultisWindow::previewSelected() {
    const ClientMulti* multi = selected();
    if (multi == nullptr) {
        return;
    }
    try {
        emit previewRequested(tilesOf(*multi), FromUtf8(MultiText(multi->multi)));
    } catch (const Error& e) {
        platform_.messages.showMessage(this, FromUtf8(e.description()), kClientMultisTitle,
                                       MessageIcon::Critical);
    }
}

void ClientMultisWindow::extractSelected() {
    const ClientMulti* multi = selected();
    if (multi == nullptr) {
        return;
    }
    // The format follows the name's extension, as extract --format names it; Exact writes multi text.
    const bool exact = chkExact_->isChecked();
    const QString suggested =
        QString("multi 0x%1%2.txt").arg(QString::number(multi->multi, 16).toUpper(), exact ? " exact" : "");
    const QString target = platform_.files.getSaveFileName(
        this,
        {"Extract multi", exact ? QString(kExactFilter) : QString(kExtractFilter), ".txt", scriptFolder_},
        suggested);
    if (target.isEmpty()) {
        return;
    }
    const ExtractFormat format =
        ExtractFormatNamed(ToBytes(QFileInfo(target).suffix().toLower())).value_or(ExtractFormat::Txt);
    if (exact && format != ExtractFormat::Txt) {
        platform_.messages.showMessage(
            this, "Exact writes multi text: choose a name ending in .txt, or clear Exact.",
            kClientMultisTitle, MessageIcon::Warning);
        return;
    }
    std::string text;
    try {
        const ClientFileLocks locks(platform_.fileSystem, targets_.mul, targets_.uop, LockKind::Shared);
        std::vector<ComponentRecord> components;
        if (multi->inMul && list_.mul) {
            const std::int32_t slot = SlotOfMultiNumber(multi->multi);
            const IndexRecord entry = ReadIndexEntry(platform_.fileSystem, targets_.mul->multiIdx, slot);
            const RecordSize size = list_.mul->recordSize.size;
            if (exact) {
                text = ExactMultiTextOfBlock(
                    ReadMultiBlock(platform_.fileSystem, targets_.mul->multiMul, slot, entry, size), size);
            } else {
                components =
                    ExtractMultiComponents(platform_.fileSystem, targets_.mul->multiMul, slot, entry, size);
            }
        } else if (exact) {
            text = ExtractUopMultiText(platform_.fileSystem, *targets_.uop, multi->multi, true);
        } else {
            components = ExtractUopComponents(platform_.fileSystem, *targets_.uop, multi->multi);
        }
        if (!exact) {
            text = ExtractedFile(format, components, "multi " + NumberText(multi->multi));
        }
        WriteFileAtomically(platform_.fileSystem, ToPath(target), text);
    } catch (const Error& e) {
        platform_.messages.showMessage(this, FromUtf8(e.description()), kClientMultisTitle,
                                       MessageIcon::Critical);
        return;
    }
    scriptFolder_ = QFileInfo(target).absolutePath();
    emit scriptFolderChosen(scriptFolder_);
    QString written =
        QString("%1 written to %2").arg(FromUtf8(MultiText(multi->multi)), QDir::toNativeSeparators(target));
    written[0] = written[0].toUpper();
    lblSelected_->setText(written);
}

void ClientMultisWindow::removeSelected() {
    const ClientMulti* multi = selected();
    if (multi == nullptr) {
        return;
    }
    const std::int32_t number = multi->multi;
    const QString question =
        QString("Remove %1 from %2? Its data stays in the files as dead bytes, but no reader finds it again.")
            .arg(FromUtf8(MultiText(number)), filesText(multi->inMul, multi->inUop));
    if (!platform_.messages.askYesNo(this, question, kClientMultisTitle)) {
        return;
    }
    try {
        const ClientFileLocks locks(platform_.fileSystem, targets_.mul, targets_.uop, LockKind::Exclusive);
        RemoveMulti(platform_.fileSystem, targets_, number);
    } catch (const Error& e) {
        platform_.messages.showMessage(this, FromUtf8(e.description()) + "\n\nEvery file is as it was.",
                                       kClientMultisTitle, MessageIcon::Critical);
        refresh();
        return;
    }
    refresh();
    lblSelected_->setText(FromUtf8(MultiText(number)) + " removed");
    emit multiRemoved(number);
}

QString ClientMultisWindow::filesText(bool mul, bool uop) const {
    QStringList files;
    if (mul && targets_.mul) {
        files << QFileInfo(FromPath(targets_.mul->multiMul)).fileName();
    }
    if (uop && targets_.uop) {
        files << QFileInfo(FromPath(*targets_.uop)).fileName();
    }
    return files.join(" and ");
}

void ClientMultisWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace keelwright
