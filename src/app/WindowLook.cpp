#include "app/WindowLook.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace keelwright {

QFont DefaultFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
    font.setPointSizeF(7.5);
    return font;
}

QFont TimesFont(double pointSize) {
    QFont font;
    font.setFamilies({"Times New Roman", "Liberation Serif", "Tinos", "DejaVu Serif"});
    font.setPointSizeF(pointSize);
    return font;
}

QString ElidedToFit(const QLabel* label, const QString& text) {
    return label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
}

void PlaceOverOpener(QWidget* window) {
    const QWidget* opener = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = opener != nullptr ? opener->screen() : window->screen();
    if (screen == nullptr) {
        return;
    }
    // This window's frame is not known before it is shown; the opener's is the same window manager's.
    QMargins frame;
    if (opener != nullptr) {
        const QRect outer = opener->frameGeometry();
        const QRect inner = opener->geometry();
        frame = {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                 outer.bottom() - inner.bottom()};
    }
    QRect area(QPoint(), window->size());
    area.moveCenter(opener != nullptr ? opener->geometry().center() : screen->availableGeometry().center());
    // Never off-screen: a window larger than the screen keeps its title bar and top-left corner on it.
    const QRect room = screen->availableGeometry().marginsRemoved(frame);
    area.moveLeft(std::max(room.left(), std::min(area.left(), room.right() + 1 - area.width())));
    area.moveTop(std::max(room.top(), std::min(area.top(), room.bottom() + 1 - area.height())));
    window->setGeometry(area);
}

}  // namespace keelwright
