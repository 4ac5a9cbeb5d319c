// The Load Script command: asks for a script, replaces the loaded multi with it and opens the next steps. A
// failed load leaves the multi loaded before it, and says so.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/ClientMultisWindow.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "model/ComponentTable.h"
#include "model/DesignList.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "model/UoaLibrary.h"

namespace keelwright {
namespace {

// Every script type first, so that no file is hidden by the type picked, then each type alone.
constexpr const char* kScriptFilter =
    "All scripts (*.txt *.wsc *.uoa *.csv)|*.txt *.wsc *.uoa *.csv Designs.idx|"
    "Multi.txt files (*.txt)|*.txt|Exported file from sphere (*.wsc)|*.wsc|UO Architect designs "
    "(*.uoa)|*.uoa|"
    "UO Architect library (Designs.idx)|Designs.idx|CSV tile lists (*.csv)|*.csv";

// UO Architect and CSV files load as their extension (and, for *.uoa, their first bytes) says: no option
// is needed for them. Any other file loads as the Import file type option says, and when it plainly is
// the other type, as what it is (LoadMultiAsItIs).
std::optional<ScriptType> typeOf(const QString& path, bool multiText) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "uoa" || suffix == "csv" || IsUoaLibraryIndex(ToPath(path))) {
        return std::nullopt;
    }
    return multiText ? ScriptType::MultiTxt : ScriptType::Wsc;
}

QString typeName(ScriptType type) {
    switch (type) {
        case ScriptType::MultiTxt:
            return "multi text";
        case ScriptType::Wsc:
            return "a WSC export";
        case ScriptType::Uoa:
            return "a UO Architect design";
        case ScriptType::UoaLib:
            return "a UO Architect design library";
        case ScriptType::Csv:
            return "a CSV tile list";
    }
    return {};
}

// The rows the user picks a design or a template from.
QList<QStringList> choiceRows(const DesignList& list) {
    QList<QStringList> rows;
    for (const DesignSummary& entry : list.entries) {
        if (list.kind == DesignList::Kind::Templates) {
            rows << QStringList{FromUtf8(entry.key), FromUtf8(entry.tiles)};
        } else {
            rows << QStringList{FromUtf8(entry.key), FromUtf8(ShownName(entry.name)),
                                FromUtf8(ShownName(entry.category)), FromUtf8(ShownName(entry.subsection)),
                                FromUtf8(entry.tiles)};
        }
    }
    return rows;
}

}  // namespace

void MainWindow::loadScript() {
    const bool multiText = optTxt_->isChecked();
    dlgCommon_.setFilter(kScriptFilter);
    dlgCommon_.setTitle(multiText ? "Import Multi.txt file" : "Import an exported wsc file");
    const QString chosen = dlgCommon_.showOpen(this, workspace_.LastScriptFolder);
    if (!chosen.isEmpty()) {
        loadScriptFile(chosen, typeOf(chosen, multiText), {});
    }
}

void MainWindow::hostLoadDesign(const QString& path, std::optional<ScriptType> type,
                                const DesignChoice& choice) {
    loadScriptFile(path, type ? type : typeOf(path, optTxt_->isChecked()), choice);
}

void MainWindow::loadScriptFile(const QString& chosen, std::optional<ScriptType> type, DesignChoice choice) {
    const bool multiText = optTxt_->isChecked();
    platform_.pointer.setBusy(true);
    workspace_.LastScriptFolder = QFileInfo(chosen).absolutePath();
    if (!clientMultisWindow_.isNull()) {
        clientMultisWindow_->setScriptFolder(workspace_.LastScriptFolder);
    }
    const QString fileName = QFileInfo(chosen).fileName();
    const QString kept =
        multiLoaded() ? "; " + QFileInfo(workspace_.ScriptPath).fileName() + " is still loaded" : QString();
    // The script loads into a table of its own, so that a load that fails leaves the multi loaded before.
    ComponentTable loaded;
    ItemCount found(0);
    QString chosenText;  // the design or template chosen, as the status names it
    std::optional<ScriptType> loadedAs;
    try {
        for (;;) {
            try {
                loadedAs = LoadMultiAsItIs(
                    ToPath(chosen), type, loaded, workspace_.components,
                    [&](const ItemCount& count) { found = count; }, LoadOptions{false, choice});
                break;
            } catch (const SeveralDesignsError& e) {
                // A collection of designs, or a multi text of several templates: the user picks one.
                const DesignList& list = e.designs();
                const bool templates = list.kind == DesignList::Kind::Templates;
                platform_.pointer.setBusy(false);
                const std::optional<int> row = platform_.inputs.chooseRow(
                    this,
                    fileName + (templates ? " holds several templates. Load which one?"
                                          : " holds several designs. Load which one?"),
                    templates ? "Choose a template" : "Choose a design",
                    templates ? QStringList{"Template id", "Tiles"}
                              : QStringList{"Design", "Name", "Category", "Subsection", "Tiles"},
                    choiceRows(list));
                if (!row || *row < 0 || static_cast<std::size_t>(*row) >= list.entries.size()) {
                    showStatus("Nothing loaded: no " + QString(templates ? "template" : "design") +
                               " chosen" + kept);
                    return;
                }
                platform_.pointer.setBusy(true);
                const DesignSummary& entry = list.entries[static_cast<std::size_t>(*row)];
                (templates ? choice.templateId : choice.design) = entry.key;
                chosenText = templates            ? "template id " + FromUtf8(entry.key)
                             : entry.name.empty() ? "design " + FromUtf8(entry.key)
                                                  : "design \"" + FromUtf8(ShownName(entry.name)) + "\"";
            }
        }
    } catch (const Error& e) {
        platform_.pointer.setBusy(false);
        // The reason once, with the file by its name; its whole path below, where it has room.
        showStatus("Load failed: " + ShortDescription(e) + kept,
                   "Load failed: " + FromUtf8(e.description()) + kept,
                   "The file: " + QDir::toNativeSeparators(chosen));
        return;
    }

    workspace_.table = std::move(loaded);
    workspace_.ScriptPath = chosen;
    workspace_.PatchSlot = 0;
    lblItems_->setText(QString::number(found.count));
    openLoadedMulti();
    // "Loaded house.wsc (template id 7) as a WSC export, not multi text: 26 tiles".
    QString text = "Loaded " + fileName;
    if (!chosenText.isEmpty()) {
        text += " (" + chosenText + ")";
    }
    if (loadedAs) {
        text += " as " + typeName(*loadedAs) + ", not " +
                typeName(multiText ? ScriptType::MultiTxt : ScriptType::Wsc);
    }
    const std::int32_t count = workspace_.table.Count;
    text += found.unreadLines == 0 ? QString(": %1 tiles").arg(count)
                                   : QString(": %1 tiles of %2 lines: the count line says %1")
                                         .arg(count)
                                         .arg(static_cast<qulonglong>(count) + found.unreadLines);
    showStatus(text);
    refreshPreview();
    platform_.pointer.setBusy(false);
}

void MainWindow::openLoadedMulti() {
    // Name, Buy and Sell keep what was typed: the next multi is often the same building, corrected.
    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        SetBoxColour(box, kBoxOpen);
        box->setEnabled(true);
    }
    txtMultiName_->setFocus();
    CheckMultiIdxPath();
    CheckMultiMulPath();
    chkScriptOnly_->setEnabled(true);
    chkScriptOnly_->setChecked(false);
    cmdPatch_->setEnabled(true);
    cmdPreview_->setEnabled(true);
    applyCreateScriptRule();
}

}  // namespace keelwright
