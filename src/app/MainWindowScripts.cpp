// The Create Script command: the item scripts of the patched multi in the chosen format, shown in the
// scripts window for the user to copy.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/ScriptsWindow.h"
#include "model/Error.h"
#include "scripts/ItemScripts.h"

namespace keelwright {

std::optional<ScriptFormat> MainWindow::chosenScriptFormat() const {
    const std::pair<const QRadioButton*, ScriptFormat> options[] = {
        {optVer54_, ScriptFormat::Ver54}, {optVer51a_, ScriptFormat::Ver51a}, {optVerX_, ScriptFormat::VerX}};
    for (const auto& [option, format] : options) {
        if (option->isChecked()) {
            return format;
        }
    }
    return std::nullopt;
}

void MainWindow::createScript() {
    // The scripts carry the item number of the slot the loaded multi was patched into. Scripts Only makes
    // them without a patch, except in a format that names the multi by its slot.
    // A number typed in the multi number box names a multi already in the files: its scripts need no patch.
    const std::optional<ScriptFormat> format = chosenScriptFormat();
    const bool patchNeeded = !chkScriptOnly_->isChecked() || (format && NeedsPatchSlot(*format));
    const std::optional<std::int32_t> slot = scriptSlot();
    if (!slot) {
        return;
    }
    if (!multiLoaded() || (*slot == 0 && patchNeeded)) {
        platform_.sounds.beep();
        platform_.messages.showMessage(this, "You need to patch the multi before you can create the scripts",
                                       "Script Creation Failed", MessageIcon::Warning);
        return;
    }
    // Each character becomes one byte of the scripts; any other would turn into a "?" there.
    const std::pair<const QLineEdit*, const char*> boxes[] = {
        {txtMultiName_, "Multi Name"}, {txtBuyValue_, "Buy Value"}, {txtSellValue_, "Sell Value"}};
    for (const auto& [box, caption] : boxes) {
        const QString character = FirstNonLatin1(box->text());
        if (!character.isEmpty()) {
            platform_.messages.showMessage(
                this,
                QString(
                    "%1 holds the character %2, which the scripts cannot hold. Use only Latin-1 characters "
                    "(the letters of Western European languages) and try again.")
                    .arg(caption, character),
                "Script Creation Failed", MessageIcon::Warning);
            return;
        }
    }
    platform_.pointer.setBusy(true);
    showStatus("Creating scripts; please wait...");

    if (!format) {
        platform_.pointer.setBusy(false);
        platform_.sounds.beep();
        platform_.messages.showMessage(this, "Please select which script format you wish to create.",
                                       kApplicationTitle, MessageIcon::Warning);
        showStatus("Scripts Completed");
        return;
    }

    const ScriptDetails details{ToBytes(txtMultiName_->text()),
                                ToBytes(txtBuyValue_->text()),
                                ToBytes(txtSellValue_->text()),
                                chkScriptOnly_->isChecked(),
                                *slot,
                                workspace_.components.count()};
    std::string text;
    try {
        text = CreateScript(*format, details, workspace_.table);
    } catch (const Error& e) {
        platform_.pointer.setBusy(false);
        showErrorReport(e);
        showStatus("Script creation failed", "Script creation failed: " + FromUtf8(e.description()));
        return;
    }
    if (scriptsWindow_.isNull()) {
        scriptsWindow_ = new ScriptsWindow(platform_.clipboard, this, &platform_);
    }
    scriptsWindow_->showScripts(FromBytes(text),
                                *format == ScriptFormat::VerX
                                    ? ScriptsWindow::kVerXHint
                                    : QString("Copy these scripts to your sphereitems2.scp"));
    platform_.pointer.setBusy(false);
    showStatus("Scripts Completed");
}

}  // namespace keelwright
