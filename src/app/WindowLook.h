#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace keelwright {

// Window geometry is designed in twips: 15 twips are one pixel at 96 dots per inch (Qt scales for others).
constexpr int kTwipsPerPixel = 15;
inline QRect Twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

// The window's default font: MS Sans Serif where the machine has it, else a sans-serif of its size; at
// 7.5 pt every caption fits its control.
QFont DefaultFont();
// Times New Roman (or a serif with its metrics) at the size given.
QFont TimesFont(double pointSize);

// The text cut with an ellipsis where it would not fit the label's width.
QString ElidedToFit(const QLabel* label, const QString& text);

// Centres a window that is not yet shown on the window that opened it (its parent's), within the screen: a
// window larger than the screen keeps its title bar and top-left corner on it.
void PlaceOverOpener(QWidget* window);

}  // namespace keelwright
