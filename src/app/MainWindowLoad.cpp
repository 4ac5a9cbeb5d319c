// The Load Script command: asks for a script, replaces the loaded multi with it and opens the next steps. A
// failed load leaves the multi loaded before it, and says so.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "model/ComponentTable.h"
#include "model/DesignList.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"

namespace keelwright {
namespace {

// "house.txt:4: reason": the file by its name alone, so that the status line has room for the reason.
QString shortDescription(const Error& e) {
    QString text;
    if (!e.file().empty()) {
        text = QFileInfo(FromUtf8(e.file())).fileName();
        if (e.line() > 0) {
            text += ":" + QString::number(e.line());
        }
        text += ": ";
    }
    return text + FromUtf8(e.reason());
}

// The two options' filters offer the other tools' files after their own type.
constexpr const char* kOtherTypes = "|UO Architect designs (*.uoa)|*.uoa|CSV tile lists (*.csv)|*.csv";

// UO Architect and CSV files load as their extension (and, for *.uoa, their first bytes) says: no option
// is needed for them. Any other file loads as the Import file type option says, as it always has, so a WSC
// export named *.txt still loads with *.wsc chosen.
std::optional<ScriptType> typeOf(const QString& path, bool multiText) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "uoa" || suffix == "csv") {
        return std::nullopt;
    }
    return multiText ? ScriptType::MultiTxt : ScriptType::Wsc;
}

}  // namespace

void MainWindow::loadScript() {
    const bool multiText = optTxt_->isChecked();
    dlgCommon_.setFilter(
        QString(multiText ? "Multi.txt files (*.txt)|*.txt" : "Exported file from sphere (*.wsc)|*.wsc") +
        kOtherTypes);
    dlgCommon_.setTitle(multiText ? "Import Multi.txt file" : "Import an exported wsc file");
    const QString chosen = dlgCommon_.showOpen(this, workspace_.LastScriptFolder);
    if (chosen.isEmpty()) {
        return;
    }

    platform_.pointer.setBusy(true);
    workspace_.LastScriptFolder = QFileInfo(chosen).absolutePath();
    // The script loads into a table of its own, so that a load that fails leaves the multi loaded before.
    ComponentTable loaded;
    ItemCount found(0);
    DesignChoice choice;
    try {
        for (;;) {
            try {
                LoadMulti(ToPath(chosen), typeOf(chosen, multiText), loaded, workspace_.components,
                          [&](const ItemCount& count) { found = count; }, LoadOptions{false, choice});
                break;
            } catch (const SeveralDesignsError& e) {
                // A collection of designs, or a multi text of several templates: the user picks one.
                const bool templates = e.designs().kind == DesignList::Kind::Templates;
                platform_.pointer.setBusy(false);
                const QString typed = platform_.inputs.getText(
                    this,
                    FromUtf8(e.reason()) + (templates ? "\n\nLoad the template of id:"
                                                      : "\n\nLoad the design (name or number):"),
                    templates ? "Choose a template" : "Choose a design",
                    FromUtf8(e.designs().entries.front().key));
                platform_.pointer.setBusy(true);
                if (typed.isEmpty()) {
                    throw;
                }
                (templates ? choice.templateId : choice.design) = typed.toUtf8().toStdString();
            }
        }
    } catch (const Error& e) {
        platform_.pointer.setBusy(false);
        const QString kept = multiLoaded()
                                 ? "; " + QFileInfo(workspace_.ScriptPath).fileName() + " is still loaded"
                                 : QString();
        showStatus("Load failed: " + shortDescription(e) + kept,
                   "Load failed: " + FromUtf8(e.description()) + kept);
        return;
    }

    workspace_.table = std::move(loaded);
    workspace_.ScriptPath = chosen;
    workspace_.PatchSlot = 0;
    lblItems_->setText(QString::number(found.count));
    openLoadedMulti();
    if (found.unreadLines == 0) {
        showStatus({});
    } else {
        const std::int32_t count = workspace_.table.Count;
        showStatus(QString("Loaded %1 of %2 lines: the count line says %1")
                       .arg(count)
                       .arg(static_cast<qulonglong>(count) + found.unreadLines));
    }
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
