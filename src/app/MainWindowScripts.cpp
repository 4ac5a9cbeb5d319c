// The Create Script command: the item scripts of the patched multi in the chosen format, shown in the
// scripts window for the user to copy.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "model/Error.h"
#include "scripts/ItemScripts.h"
#include "app/ScriptsWindow.h"

namespace keelwright {

void MainWindow::createScript() {
    // cmdPatch is disabled once the loaded multi is patched: only then do the scripts have its item number.
    if (cmdPatch_->isEnabled()) {
        platform_.sounds.beep();
        platform_.messages.showMessage(this, "You need to patch the multi before you can create the scripts",
                                       "Script Creation Failed", MessageIcon::None);
        return;
    }
    platform_.pointer.setBusy(true);
    showStatus("Creating scripts, Please wait...");

    const bool newFormat = optVer54_->isChecked();
    if (!newFormat && !optVer51a_->isChecked()) {
        platform_.pointer.setBusy(false);
        platform_.sounds.beep();
        platform_.messages.showMessage(this, "Please select which script format you wish to create.",
                                       kApplicationTitle, MessageIcon::None);
        showStatus("Scripts Completed");
        return;
    }

    const ScriptDetails details{ToBytes(txtMultiName_->text()), ToBytes(txtBuyValue_->text()),
                                ToBytes(txtSellValue_->text()), chkScriptOnly_->isChecked(),
                                workspace_.PatchSlot,           workspace_.components.count()};
    std::string text;
    try {
        text = newFormat ? CreateScript54(details, workspace_.table) : CreateScript51a(details, workspace_.table);
    } catch (const Error& e) {
        platform_.pointer.setBusy(false);
        showErrorReport(e);
        showStatus("Script creation failed", "Script creation failed: " + FromBytes(e.description()));
        return;
    }
    if (scriptsWindow_.isNull()) {
        scriptsWindow_ = new ScriptsWindow(this);
    }
    scriptsWindow_->showScripts(FromBytes(text));
    platform_.pointer.setBusy(false);
    showStatus("Scripts Completed");
}

}  // namespace keelwright
