#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

namespace keelwright {

// Where a tool window's frame goes, all in frame rectangles on the screen: `wanted` big, at least `least`,
// `gap` from the windows in `open` (the main window first) and over none of them, within `room` (the
// screen's available area). Beside the newest open window first, then the older ones; the first place
// that takes the whole size wins, else the largest that takes `least` (the window scrolls its contents).
// Where no place is clear of every open window, one clear of the main window; where none is, one clear of
// `mainCommands` (the part of the main window that holds its commands) when given; nothing when even that
// has no room for `least`.
std::optional<QRect> ToolWindowPlace(QSize wanted, QSize least, const QList<QRect>& open, const QRect& room,
                                     int gap, const QRect& mainCommands = {});

// The property of a main window that gives the width of the strip at its right edge that holds its commands,
// which tool windows never cover.
inline constexpr const char* kCommandsWidthProperty = "commandsWidth";

// Moves the layout of `window` into a scroll area that fills it, so that the window can be made smaller
// than its contents (PlaceToolWindow does where the screen has no room) and they scroll.
void ScrollWhenSmall(QWidget* window);

// Places `window` (not yet shown) by ToolWindowPlace beside `alreadyOpen` (the main window first, its
// commands by kCommandsWidthProperty) within `screen` (the available area), at its size or smaller;
// centred over the main window when the screen has no room beside it.
void PlaceToolWindow(QWidget* window, const QList<const QWidget*>& alreadyOpen, const QRect& screen);
// The same beside the window that opened `window` and that window's other tool windows that are shown,
// on the opener's screen.
void PlaceToolWindow(QWidget* window);

}  // namespace keelwright
