#include "app/WindowLook.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
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

QFont FixedPitchFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
        font.setFamilies({"Consolas", "Courier New", "Liberation Mono", "DejaVu Sans Mono"});
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& tooltip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setAutoDefault(false);
    return button;
}

std::optional<QRect> PlaceBeside(const QRect& opener, QSize wanted, QSize least, const QRect& room, int gap) {
    // The free space on each side of the opener, and where the window lines up with it there.
    const struct {
        QRect space;
        bool sideways;  // right or left: tops level; below or above: left edges level
    } sides[] = {
        {QRect(QPoint(opener.right() + 1 + gap, room.top()), room.bottomRight()), true},
        {QRect(room.topLeft(), QPoint(opener.left() - 1 - gap, room.bottom())), true},
        {QRect(QPoint(room.left(), opener.bottom() + 1 + gap), room.bottomRight()), false},
        {QRect(room.topLeft(), QPoint(room.right(), opener.top() - 1 - gap)), false},
    };
    std::optional<QRect> best;
    for (const auto& side : sides) {
        const QSize size = wanted.boundedTo(side.space.size());
        if (size.width() < least.width() || size.height() < least.height()) {
            continue;
        }
        const bool right = side.space.left() > opener.left();
        const bool below = side.space.top() > opener.top();
        QRect place(QPoint(), size);
        if (side.sideways) {
            place.moveTopLeft({right ? side.space.left() : side.space.right() + 1 - size.width(), opener.top()});
        } else {
            place.moveTopLeft({opener.left(), below ? side.space.top() : side.space.bottom() + 1 - size.height()});
        }
        // Slid along the opener's edge to stay on the screen.
        place.moveLeft(std::max(side.space.left(), std::min(place.left(), side.space.right() + 1 - size.width())));
        place.moveTop(std::max(side.space.top(), std::min(place.top(), side.space.bottom() + 1 - size.height())));
        if (size == wanted) {
            return place;
        }
        if (!best || size.width() * size.height() > best->width() * best->height()) {
            best = place;
        }
    }
    return best;
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
