// The shard window and what it asks of the main window: the client files, the server version, the loaded
// multi with its script details, the preview and the scripts window.
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

#include "app/ClientMultisWindow.h"
#include "app/MainWindow.h"
#include "app/PreviewWindow.h"
#include "app/QtText.h"
#include "app/ScriptsWindow.h"
#include "app/ShardWindow.h"
#include "model/ScriptReaders.h"
#include "scripts/ItemScripts.h"

namespace keelwright {

void MainWindow::openShard(const QString& manifestPath) {
    if (shardWindow_.isNull()) {
        shardWindow_ = new ShardWindow(platform_, *this, this);
        connect(shardWindow_, &ShardWindow::manifestChanged, this, &MainWindow::passShardNames);
    }
    shardWindow_->openManifest(manifestPath);
}

void MainWindow::passShardNames() {
    if (!clientMultisWindow_.isNull()) {
        clientMultisWindow_->setShardNames(shardWindow_.isNull() ? std::map<std::int32_t, QString>()
                                                                 : shardWindow_->shardNames());
    }
}

PatchTargets MainWindow::hostClientFiles() const {
    return clientFileTargets();
}

QString MainWindow::hostScriptFormat() const {
    const std::optional<ScriptFormat> format = chosenScriptFormat();
    return format ? QString(ScriptFormatName(*format)) : QString();
}

std::optional<LoadedMultiFacts> MainWindow::hostLoadedMulti() const {
    if (!multiLoaded()) {
        return std::nullopt;
    }
    // A design file loads by its extension; multi text and WSC as the Import file type option says, which
    // the manifest names only where the extension would say otherwise.
    const QString suffix = QFileInfo(workspace_.ScriptPath).suffix().toLower();
    std::optional<ScriptType> type;
    if (suffix != "uoa" && suffix != "csv") {
        const ScriptType chosen = optTxt_->isChecked() ? ScriptType::MultiTxt : ScriptType::Wsc;
        if (ScriptTypeOf(ToPath(workspace_.ScriptPath)) != chosen) {
            type = chosen;
        }
    }
    return LoadedMultiFacts{workspace_.ScriptPath, type, txtMultiName_->text(), txtBuyValue_->text(),
                            txtSellValue_->text()};
}

const ComponentsList& MainWindow::hostComponents() const {
    return workspace_.components;
}

std::optional<std::filesystem::path> MainWindow::hostComponentsFile() const {
    return ToPath(componentsPath_);
}

void MainWindow::hostPreview(std::vector<PreviewTile> tiles, const QString& scriptPath) {
    if (previewWindow_.isNull()) {
        previewWindow_ = new PreviewWindow(platform_, this);
        connect(previewWindow_, &PreviewWindow::artFolderChosen, this,
                [this](const QString& folder) { workspace_.ArtFolder = folder; });
    }
    previewWindow_->showPreview(std::move(tiles), scriptPath, workspace_.ArtFolder);
}

void MainWindow::hostShowScripts(const QString& text) {
    if (scriptsWindow_.isNull()) {
        scriptsWindow_ = new ScriptsWindow(platform_.clipboard, this);
    }
    scriptsWindow_->showScripts(text);
}

}  // namespace keelwright
