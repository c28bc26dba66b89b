// Window layouts are given in twips (1/1440 inch); the screen's logical resolution turns
// them into pixels (15 twips a pixel at 96 DPI).
#pragma once

#include <QRect>
#include <QWidget>

namespace sevrik::windows {

inline int Px(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// The widget's logical DPI (that of its screen).
inline int Dpi(const QWidget& w) { return w.logicalDpiX() > 0 ? w.logicalDpiX() : 96; }

inline QRect TwipsRect(int left, int top, int width, int height, int dpi) {
  return QRect(Px(left, dpi), Px(top, dpi), Px(width, dpi), Px(height, dpi));
}

// Places a child at twips relative to its container.
inline void Place(QWidget* w, int left, int top, int width, int height, int dpi) {
  w->setGeometry(TwipsRect(left, top, width, height, dpi));
}

// Centres a top-level window on its screen.
void CentreOnScreen(QWidget& w);

}  // namespace sevrik::windows
