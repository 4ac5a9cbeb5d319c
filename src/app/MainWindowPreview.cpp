// The Preview command: the loaded multi drawn in the preview window, with the art of the client folder the
// user chose there.
#include <QFileInfo>
#include <QPushButton>

#include "app/MainWindow.h"
#include "app/PreviewWindow.h"
#include "app/QtText.h"
#include "model/Error.h"
#include "render/PreviewTile.h"

namespace keelwright {

void MainWindow::previewMulti() {
    if (!multiLoaded()) {
        return;
    }
    std::vector<PreviewTile> tiles;
    try {
        tiles = PreviewTilesOf(workspace_.table);
    } catch (const Error& e) {
        showErrorReport(e);
        showStatus("Preview failed", "Preview failed: " + FromUtf8(e.description()));
        return;
    }
    if (previewWindow_.isNull()) {
        previewWindow_ = new PreviewWindow(platform_, this);
        connect(previewWindow_, &PreviewWindow::artFolderChosen, this,
                [this](const QString& folder) { workspace_.ArtFolder = folder; });
    }
    // The client's art lies beside its multi files: the first box that names one gives the folder.
    QString clientFilesFolder;
    for (const QString& path :
         {workspace_.MultiIdxPath, workspace_.MultiMulPath, workspace_.MultiCollectionPath}) {
        if (!path.isEmpty()) {
            clientFilesFolder = QFileInfo(path).absolutePath();
            break;
        }
    }
    previewWindow_->showPreview(std::move(tiles), workspace_.ScriptPath, workspace_.ArtFolder,
                                clientFilesFolder);
}

void MainWindow::refreshPreview() {
    if (previewWindow_.isNull() || !previewWindow_->isVisible()) {
        return;
    }
    previewMulti();
    activateWindow();  // the next steps are here: the details to type, Patch Multi
}

}  // namespace keelwright
