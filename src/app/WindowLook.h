#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <optional>
#include <QString>

class QPushButton;
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
// The system's fixed-pitch font; where that is not fixed-pitch (Qt's offscreen platform on Windows names a
// proportional one), the first fixed-pitch family of the usual ones.
QFont FixedPitchFont();

// A push button of the tool windows (not the main window's): named, with its tooltip, never the default
// button that Enter presses.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& tooltip);

// Where a window goes beside another, all in frame rectangles on the screen: `wanted` big, at least `least`,
// `gap` from `opener`, within `room` (the screen's available area). Right of the opener where it fits
// whole, else left, below or above; where it fits nowhere whole, the side with the most room, the window
// made smaller to fit. Nothing when no side has room for `least`.
std::optional<QRect> PlaceBeside(const QRect& opener, QSize wanted, QSize least, const QRect& room, int gap);

// Centres a window that is not yet shown on the window that opened it (its parent's), within the screen: a
// window larger than the screen keeps its title bar and top-left corner on it.
void PlaceOverOpener(QWidget* window);

}  // namespace keelwright
