#include "app/PreviewCanvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace keelwright {

PreviewCanvas::PreviewCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName("imgPreview");
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PreviewCanvas::setImage(QImage image) {
    image_ = std::move(image);
    setZoom(zoom_);
    update();
}

void PreviewCanvas::setZoom(int percent) {
    zoom_ = percent;
    resize(image_.width() * zoom_ / 100, image_.height() * zoom_ / 100);
    update();
}

void PreviewCanvas::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) {
        return;
    }
    QPainter painter(this);
    // Pixels stay sharp squares when enlarged; a reduced picture is smoothed so that thin lines survive.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 100);
    const double scale = zoom_ / 100.0;
    const QRect shown = event->rect();
    // The picture pixels the shown part covers, whole, and where they land.
    const int left = static_cast<int>(std::floor(shown.left() / scale));
    const int top = static_cast<int>(std::floor(shown.top() / scale));
    const int right = std::min(image_.width(), static_cast<int>(std::ceil((shown.right() + 1) / scale)));
    const int bottom = std::min(image_.height(), static_cast<int>(std::ceil((shown.bottom() + 1) / scale)));
    if (right <= left || bottom <= top) {
        return;
    }
    const QRect source(left, top, right - left, bottom - top);
    const QRectF target(left * scale, top * scale, source.width() * scale, source.height() * scale);
    painter.drawImage(target, image_, source);
}

void PreviewCanvas::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    event->accept();
    // A wheel notch is 120; a touchpad sends smaller parts, which add up to a step.
    wheelTurned_ += event->angleDelta().y();
    const int steps = wheelTurned_ / 120;
    wheelTurned_ %= 120;
    if (steps != 0) {
        emit zoomRequested(steps, event->position().toPoint());
    }
}

}  // namespace keelwright
