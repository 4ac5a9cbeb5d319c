#pragma once

#include <QImage>
#include <QWidget>

namespace keelwright {

// imgPreview: the preview's picture at a zoom, as large as the zoomed picture so that a scroll area around it
// scrolls. It paints only the part that shows, so a large multi at a high zoom costs no picture of that
// size. Ctrl + wheel over it asks for another zoom; the wheel alone is left to the scroll area.
class PreviewCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PreviewCanvas(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }
    void setImage(QImage image);
    // The zoom in percent; 100 shows every picture pixel as one screen pixel.
    int zoom() const { return zoom_; }
    void setZoom(int percent);

signals:
    // Ctrl + wheel: `steps` up (positive) or down (negative) at `at`, a point of this widget.
    void zoomRequested(int steps, QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage image_;
    int zoom_ = 100;
    int wheelTurned_ = 0;  // eighths of a degree not yet taken as a step
};

}  // namespace keelwright
