// The Load Script command: asks for a script, replaces the loaded multi with it and opens the next steps.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCheckBox>
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
        text = QFileInfo(QString::fromStdString(e.file())).fileName();
        if (e.line() > 0) {
            text += ":" + QString::number(e.line());
        }
        text += ": ";
    }
    return text + FromBytes(e.reason());
}

}  // namespace

void MainWindow::loadScript() {
    const bool multiText = optTxt_->isChecked();
    dlgCommon_.setFilter(multiText ? "Multi.txt files (*.txt)|*.txt" : "Exported file from sphere (*.wsc)|*.wsc");
    dlgCommon_.setTitle(multiText ? "Import Multi.txt file" : "Import an exported wsc file");
    const QString chosen = dlgCommon_.showOpen(this);
    if (chosen.isEmpty()) {
        return;
    }

    platform_.pointer.setBusy(true);
    workspace_.ScriptPath = chosen;
    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        box->clear();
    }
    try {
        LoadMulti(ToPath(chosen), multiText ? ScriptType::MultiTxt : ScriptType::Wsc, workspace_.table,
                  workspace_.components, [this](std::int32_t count) { lblItems_->setText(QString::number(count)); });
    } catch (const Error& e) {
        // The next dialog opens without a name, and nothing can be patched until a load succeeds.
        dlgCommon_.setFileName({});
        cmdPatch_->setEnabled(false);
        platform_.pointer.setBusy(false);
        showStatus("Load failed: " + shortDescription(e), "Load failed: " + FromBytes(e.description()));
        return;
    }

    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        SetBoxColour(box, kBoxOpen);
        box->setEnabled(true);
        box->clear();
    }
    txtMultiName_->setFocus();
    CheckMultiIdxPath();
    CheckMultiMulPath();
    chkScriptOnly_->setEnabled(true);
    chkScriptOnly_->setChecked(false);
    showStatus({});
    cmdPatch_->setEnabled(true);
    platform_.pointer.setBusy(false);
}

}  // namespace keelwright
