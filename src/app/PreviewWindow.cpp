#include "app/PreviewWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "app/PreviewCanvas.h"
#include "app/QtText.h"
#include "app/ToolWindowPlacement.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"
#include "model/Error.h"
#include "render/ClientArt.h"
#include "render/PngFile.h"
#include "render/Preview.h"

namespace keelwright {
namespace {

constexpr int kLastZoomStep = static_cast<int>(std::size(PreviewWindow::kZoomSteps)) - 1;

QString tiles(int count) {
    return QString::number(count) + (count == 1 ? " tile" : " tiles");
}

}  // namespace

PreviewWindow::PreviewWindow(const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName("frmPreview");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());

    imgPreview_ = new PreviewCanvas;
    scrPreview_ = new QScrollArea(this);
    scrPreview_->setObjectName("scrPreview");
    scrPreview_->setWidget(imgPreview_);
    scrPreview_->setAlignment(Qt::AlignCenter);
    // The picture's own background all round, so that a small multi does not sit in a frame of grey.
    QPalette background = scrPreview_->palette();
    const Rgba colour = kPreviewBackground;
    background.setColor(QPalette::Window, QColor(colour.r, colour.g, colour.b));
    scrPreview_->setPalette(background);
    scrPreview_->setBackgroundRole(QPalette::Window);

    lblPreviewInfo_ = new QLabel(this);
    lblPreviewInfo_->setObjectName("lblPreviewInfo");
    lblPreviewInfo_->setWordWrap(true);
    lblPreviewInfo_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdZoomOut_ = MakeButton(this, "cmdZoomOut", QString::fromUtf8("\u2212"), "Zoom out (Ctrl + wheel down)");
    cmdZoomOut_->setShortcut(QKeySequence::ZoomOut);
    lblZoom_ = new QLabel(this);
    lblZoom_->setObjectName("lblZoom");
    lblZoom_->setAlignment(Qt::AlignCenter);
    lblZoom_->setMinimumWidth(lblZoom_->fontMetrics().horizontalAdvance("8888 %"));
    cmdZoomIn_ = MakeButton(this, "cmdZoomIn", "+", "Zoom in (Ctrl + wheel up)");
    cmdZoomIn_->setShortcut(QKeySequence::ZoomIn);
    for (QPushButton* button : {cmdZoomOut_, cmdZoomIn_}) {
        button->setFixedWidth(button->sizeHint().height() * 3 / 2);
    }
    cmdArtFolder_ = MakeButton(this, "cmdArtFolder", QString::fromUtf8("Client folder\u2026"),
                               "Chooses the client folder whose art draws the tiles");
    cmdSavePng_ = MakeButton(this, "cmdSavePng", QString::fromUtf8("Save PNG\u2026"),
                             "Saves the picture as drawn, at 100 %");
    cmdClose_ = MakeButton(this, "cmdClose", "&Close", {});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdZoomOut_);
    buttons->addWidget(lblZoom_);
    buttons->addWidget(cmdZoomIn_);
    buttons->addSpacing(12);
    buttons->addWidget(cmdArtFolder_);
    buttons->addWidget(cmdSavePng_);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(scrPreview_, 1);
    column->addWidget(lblPreviewInfo_);
    column->addLayout(buttons);
    ScrollWhenSmall(this);

    connect(imgPreview_, &PreviewCanvas::zoomRequested, this, &PreviewWindow::zoomBy);
    const auto zoomAtMiddle = [this](int steps) {
        const QWidget* shown = scrPreview_->viewport();
        zoomBy(steps, imgPreview_->mapFrom(shown, shown->rect().center()));
    };
    connect(cmdZoomIn_, &QPushButton::clicked, this, [zoomAtMiddle] { zoomAtMiddle(1); });
    connect(cmdZoomOut_, &QPushButton::clicked, this, [zoomAtMiddle] { zoomAtMiddle(-1); });
    connect(cmdArtFolder_, &QPushButton::clicked, this, &PreviewWindow::chooseArtFolder);
    connect(cmdSavePng_, &QPushButton::clicked, this, &PreviewWindow::savePng);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    zoomBy(0, {});
}

int PreviewWindow::zoom() const {
    return kZoomSteps[zoomStep_];
}

void PreviewWindow::showPreview(std::vector<PreviewTile> tiles, const QString& scriptPath,
                                const QString& artFolder, const QString& clientFilesFolder) {
    tiles_ = std::move(tiles);
    scriptPath_ = scriptPath;
    artFolder_ = artFolder;
    clientFilesFolder_ = clientFilesFolder;
    setWindowTitle("Preview - " + QFileInfo(scriptPath_).fileName());
    draw();
    if (!isVisible()) {
        layout()->activate();  // the controls' places, which fittingSize measures, before the first show
        resize(fittingSize().expandedTo(QSize(480, 360)));
        placeBesideOpener();
    }
    show();
    raise();
    activateWindow();
}

QSize PreviewWindow::fittingSize() const {
    // The picture at its zoom and everything around it, within most of the screen.
    const QSize around = size() - scrPreview_->viewport()->size();
    QSize wanted = imgPreview_->size() + around;
    if (const QScreen* screen = this->screen()) {
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 4 / 5);
    }
    return wanted;
}

void PreviewWindow::placeBesideOpener() {
    // Beside the windows already open, so that all show, made smaller to fit the room there (the picture
    // scrolls); over the opener only when the screen has no room beside it.
    PlaceToolWindow(this);
}

void PreviewWindow::draw() {
    platform_.pointer.setBusy(true);
    std::optional<ClientArt> art;
    QString artNote = "Drawn as blocks: choose the client folder to draw the game's art.";
    if (!artFolder_.isEmpty()) {
        try {
            art = OpenClientArt(platform_.fileSystem, ToPath(artFolder_));
            artNote = "Art from " + QDir::toNativeSeparators(FromPath(art->artFile)) +
                      (art->tileData ? QString() : " (no tiledata.mul: every tile is ordered as a wall)");
        } catch (const Error& e) {
            artNote = "Drawn as blocks: " + FromUtf8(e.description());
        }
    }
    const auto render = [this](ClientArt* client) {
        PreviewOptions options;
        if (client != nullptr) {
            options.art = client->art.get();
            options.tileData = client->tileData ? &*client->tileData : nullptr;
        }
        return RenderPreview(tiles_, options);
    };
    std::optional<Preview> preview;
    QString failure;
    try {
        preview = render(art ? &*art : nullptr);
    } catch (const Error& e) {
        failure = FromUtf8(e.description());
    }
    if (!preview && art) {
        // Art that cannot be read should not hide the multi: the blocks need nothing but the tiles.
        artNote = "Drawn as blocks: the art could not be read: " + failure;
        try {
            preview = render(nullptr);
        } catch (const Error& e) {
            failure = FromUtf8(e.description());
        }
    }
    if (preview) {
        picture_ = std::move(preview->image);
        drawnText_ = QString("%1 x %2 pixels: %3 drawn with art, %4 as blocks.\n%5")
                         .arg(picture_.width())
                         .arg(picture_.height())
                         .arg(tiles(preview->artTiles), QString::number(preview->blockTiles), artNote);
    } else {
        picture_ = RgbaImage();
        drawnText_ = "The multi cannot be drawn: " + failure;
    }
    lblPreviewInfo_->setText(drawnText_);
    imgPreview_->setImage(picture_.empty()
                              ? QImage()
                              : QImage(picture_.bytes().data(), picture_.width(), picture_.height(),
                                       static_cast<qsizetype>(picture_.stride()), QImage::Format_RGBA8888)
                                    .copy());
    cmdSavePng_->setEnabled(!picture_.empty());
    platform_.pointer.setBusy(false);
}

void PreviewWindow::zoomBy(int steps, QPoint at) {
    const int before = zoom();
    zoomStep_ = std::clamp(zoomStep_ + steps, 0, kLastZoomStep);
    const int after = zoom();
    // The picture point under `at` stays where it is on the screen.
    const QPoint onScreen = imgPreview_->mapTo(scrPreview_->viewport(), at);
    imgPreview_->setZoom(after);
    if (after != before) {
        scrPreview_->horizontalScrollBar()->setValue(at.x() * after / before - onScreen.x());
        scrPreview_->verticalScrollBar()->setValue(at.y() * after / before - onScreen.y());
    }
    lblZoom_->setText(QString::number(after) + " %");
    cmdZoomIn_->setEnabled(zoomStep_ < kLastZoomStep);
    cmdZoomOut_->setEnabled(zoomStep_ > 0);
}

void PreviewWindow::chooseArtFolder() {
    // The art lies beside the client's other files; without them, the script's folder is the best guess.
    const QString start = !artFolder_.isEmpty()           ? artFolder_
                          : !clientFilesFolder_.isEmpty() ? clientFilesFolder_
                                                          : QFileInfo(scriptPath_).absolutePath();
    const QString chosen = platform_.files.getExistingFolder(
        this, "Choose the client folder (artLegacyMUL.uop, or art.mul and artidx.mul)", start);
    if (chosen.isEmpty()) {
        return;
    }
    try {
        OpenClientArt(platform_.fileSystem, ToPath(chosen));
    } catch (const Error& e) {
        platform_.messages.showMessage(this,
                                       FromUtf8(e.description()) + "\n\nThe preview keeps the art it had.",
                                       "Client folder", MessageIcon::Warning);
        return;
    }
    artFolder_ = chosen;
    emit artFolderChosen(artFolder_);
    draw();
    // The art may make the picture larger than the blocks were: the window grows to show it, never shrinks.
    resize(size().expandedTo(fittingSize()));
}

void PreviewWindow::savePng() {
    const QFileInfo script(scriptPath_);
    const QString chosen = platform_.files.getSaveFileName(
        this,
        {"Save the preview as a PNG picture", "PNG pictures (*.png)|*.png", ".png", script.absolutePath()},
        script.completeBaseName() + ".png");
    if (chosen.isEmpty()) {
        return;
    }
    // Only a picture's name: a slip in the dialog must not replace a client file or a script.
    if (!chosen.endsWith(".png", Qt::CaseInsensitive)) {
        platform_.messages.showMessage(this,
                                       "A preview is saved as a .png file; " + QFileInfo(chosen).fileName() +
                                           " is not one. Nothing was written.",
                                       "Save PNG", MessageIcon::Warning);
        return;
    }
    platform_.pointer.setBusy(true);
    try {
        WritePng(platform_.fileSystem, ToPath(chosen), picture_);
    } catch (const Error& e) {
        platform_.pointer.setBusy(false);
        platform_.messages.showMessage(this, FromUtf8(e.description()), "Save PNG", MessageIcon::Critical);
        return;
    }
    platform_.pointer.setBusy(false);
    lblPreviewInfo_->setText(drawnText_ + "\nSaved as " + QDir::toNativeSeparators(chosen) + ".");
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace keelwright
