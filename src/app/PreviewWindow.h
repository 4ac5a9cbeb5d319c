#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "app/Platform.h"
#include "render/PreviewTile.h"
#include "render/RgbaImage.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace keelwright {

class PreviewCanvas;

// frmPreview: the loaded multi drawn as the game places its tiles, with the client's art when a client folder
// is chosen and as blocks otherwise. Not modal; Close, the close box or Escape destroys it. The picture
// scrolls and zooms (the buttons, or Ctrl + wheel at the pointer); Client folder… chooses the art and draws
// again, Save PNG… writes the picture as drawn, whatever the zoom.
class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    // The zoom steps in percent.
    static constexpr int kZoomSteps[] = {25, 50, 100, 200, 300, 400, 600, 800};

    PreviewWindow(const Platform& platform, QWidget* parent = nullptr);

    // Draws the tiles of the script at `scriptPath` with the art of `artFolder` (blocks when it is empty or
    // has no art) and shows the window; the first time, beside the window that opened it. Client folder…
    // starts in `artFolder`, else in `clientFilesFolder` (where the client's multi files are), else in the
    // script's folder.
    void showPreview(std::vector<PreviewTile> tiles, const QString& scriptPath, const QString& artFolder,
                     const QString& clientFilesFolder = {});

    const RgbaImage& picture() const { return picture_; }
    int zoom() const;

signals:
    // The user chose a client folder whose art opened.
    void artFolderChosen(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void draw();
    // The window's size that shows the whole picture at its zoom, within most of the screen.
    QSize fittingSize() const;
    void placeBesideOpener();
    void zoomBy(int steps, QPoint at);
    void chooseArtFolder();
    void savePng();

    Platform platform_;
    std::vector<PreviewTile> tiles_;
    QString scriptPath_;
    QString artFolder_;
    QString clientFilesFolder_;
    RgbaImage picture_;
    QString drawnText_;  // what the information line says of the picture
    int zoomStep_ = 2;   // 100 %

    QScrollArea* scrPreview_;
    PreviewCanvas* imgPreview_;
    QLabel* lblPreviewInfo_;
    QPushButton* cmdZoomOut_;
    QLabel* lblZoom_;
    QPushButton* cmdZoomIn_;
    QPushButton* cmdArtFolder_;
    QPushButton* cmdSavePng_;
    QPushButton* cmdClose_;
};

}  // namespace keelwright
