// The Load Script command: asks for a script, replaces the loaded multi with it and opens the next steps. A
// failed load leaves no multi loaded.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "app/QtText.h"
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

}  // namespace

void MainWindow::loadScript() {
    const bool multiText = optTxt_->isChecked();
    dlgCommon_.setFilter(multiText ? "Multi.txt files (*.txt)|*.txt"
                                   : "Exported file from sphere (*.wsc)|*.wsc");
    dlgCommon_.setTitle(multiText ? "Import Multi.txt file" : "Import an exported wsc file");
    const QString chosen = dlgCommon_.showOpen(this, workspace_.LastScriptFolder);
    if (chosen.isEmpty()) {
        return;
    }

    platform_.pointer.setBusy(true);
    workspace_.LastScriptFolder = QFileInfo(chosen).absolutePath();
    forgetMulti();
    std::size_t unreadLines = 0;
    try {
        LoadMulti(ToPath(chosen), multiText ? ScriptType::MultiTxt : ScriptType::Wsc, workspace_.table,
                  workspace_.components, [&](const ItemCount& found) {
                      lblItems_->setText(QString::number(found.count));
                      unreadLines = found.unreadLines;
                  });
    } catch (const Error& e) {
        // Half a multi is no multi: nothing can be patched or scripted until a load succeeds.
        forgetMulti();
        platform_.pointer.setBusy(false);
        showStatus("Load failed: " + shortDescription(e), "Load failed: " + FromUtf8(e.description()));
        return;
    }

    workspace_.ScriptPath = chosen;
    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        SetBoxColour(box, kBoxOpen);
        box->setEnabled(true);
    }
    txtMultiName_->setFocus();
    CheckMultiIdxPath();
    CheckMultiMulPath();
    chkScriptOnly_->setEnabled(true);
    chkScriptOnly_->setChecked(false);
    if (unreadLines == 0) {
        showStatus({});
    } else {
        const std::int32_t count = workspace_.table.Count;
        showStatus(QString("Loaded %1 of %2 lines: the count line says %1")
                       .arg(count)
                       .arg(static_cast<qulonglong>(count) + unreadLines));
    }
    cmdPatch_->setEnabled(true);
    cmdPreview_->setEnabled(true);
    platform_.pointer.setBusy(false);
}

void MainWindow::forgetMulti() {
    workspace_.table.ResetMulti();
    workspace_.ScriptPath.clear();
    workspace_.PatchSlot = 0;
    lblItems_->setText("0");
    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        box->clear();
        box->setEnabled(false);
        SetBoxColour(box, kBoxAsCreated);
    }
    chkScriptOnly_->setChecked(false);
    chkScriptOnly_->setEnabled(false);
    cmdPatch_->setEnabled(false);
    cmdPreview_->setEnabled(false);
    applyCreateScriptRule();
}

}  // namespace keelwright
