// The forms' layouts (core/forms/forms.h) on Qt Widgets: twips turned into pixels by the
// screen's logical resolution (15 twips a pixel at 96 DPI), and the controls of a form built
// from its table.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

#include "core/forms/form_layout.h"
#include "core/forms/forms.h"

namespace sevrik::qt {

using forms::Px;

// The widget's logical DPI (that of its screen).
inline int Dpi(const QWidget& w) { return w.logicalDpiX() > 0 ? w.logicalDpiX() : 96; }

inline QRect TwipsRect(int left, int top, int width, int height, int dpi) {
  return QRect(Px(left, dpi), Px(top, dpi), Px(width, dpi), Px(height, dpi));
}

// The fixed-pitch font of the long texts (the log, a check's report): forms::kLogTextFont
// where it is installed, else the system's fixed-pitch font; regular weight.
QFont TextFont();

// Centres a top-level window on its screen.
void CentreOnScreen(QWidget& w);

// The window flags of a form's border: a fixed dialog (title bar and close box only), or no
// border at all.
Qt::WindowFlags WindowFlagsOf(const forms::Form& table);

// Lays out `form` as the table gives it: its caption, font and fixed size (centred on the
// screen when the table places it there), then each control
// as a child of its container (named by its object name), with caption, tool tip, geometry
// and hidden state, and the tab order of the controls that take the focus. Buttons are never
// default buttons. A kind's own settings beyond the table are the view's. Every control has
// the form's one font.
void BuildForm(QWidget& form, const forms::Form& table);

// Places the built form's controls as forms::LayOut gives them: each drop-down list as wide as
// its widest entry needs and each button as its caption with the room of its focus rectangle.
// Called by BuildForm, and again by a view that has filled its drop-down lists.
void FitForm(QWidget& form, const forms::Form& table);

// The control of a built form by its name (the table's), as the widget type of its kind.
template <class Widget>
Widget* Get(const QWidget& form, const char* name) {
  auto* w = form.findChild<Widget*>(QString::fromLatin1(name));
  Q_ASSERT(w);
  return w;
}

}  // namespace sevrik::qt
