#include "views/qt/layout.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTreeView>
#include <vector>

namespace sevrik::qt {

QFont TextFont() {
  const QString family = QString::fromUtf8(forms::kLogTextFont.family);
  QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(forms::kLogTextFont.points);
  font.setWeight(QFont::Normal);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

namespace {

using forms::ControlKind;

QWidget* Make(const forms::Control& c, QWidget* parent) {
  const QString caption = QString::fromUtf8(c.caption);
  switch (c.kind) {
    case ControlKind::Frame:
      return new QGroupBox(caption, parent);
    case ControlKind::Label:
      return new QLabel(caption, parent);
    case ControlKind::Combo: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(false);
      return combo;
    }
    case ControlKind::Edit:
      return new QLineEdit(caption, parent);
    case ControlKind::Button: {
      auto* b = new QPushButton(caption, parent);
      b->setAutoDefault(false);  // Enter in a text box presses no button
      b->setDefault(false);
      return b;
    }
    case ControlKind::ListView: {
      auto* list = new QTreeView(parent);
      list->setRootIsDecorated(false);
      list->setItemsExpandable(false);
      list->setUniformRowHeights(true);
      list->setAllColumnsShowFocus(true);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setSelectionBehavior(QAbstractItemView::SelectRows);
      list->setEditTriggers(QAbstractItemView::NoEditTriggers);
      return list;
    }
    case ControlKind::ListBox:
      return new QListWidget(parent);
    case ControlKind::TextBox: {
      auto* text = new QPlainTextEdit(caption, parent);
      text->setLineWrapMode(QPlainTextEdit::NoWrap);
      text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      return text;
    }
    case ControlKind::Divider: {
      auto* line = new QFrame(parent);
      line->setFrameShape(QFrame::VLine);
      return line;
    }
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, static_cast<int>(forms::kProgressDesignMaximum));
      bar->setValue(0);
      bar->setTextVisible(false);
      return bar;
    }
  }
  return new QWidget(parent);
}

}  // namespace

void CentreOnScreen(QWidget& w) {
  const QScreen* screen = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
}

Qt::WindowFlags WindowFlagsOf(const forms::Form& table) {
  if (table.border == forms::Border::None) return Qt::FramelessWindowHint | Qt::Tool;
  return Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowCloseButtonHint;
}

void BuildForm(QWidget& form, const forms::Form& table) {
  form.setObjectName(QString::fromLatin1(table.name));
  form.setWindowTitle(QString::fromUtf8(table.caption));
  if (table.font.points > 0) {
    QFont font = form.font();
    if (*table.font.family) font.setFamily(QString::fromUtf8(table.font.family));
    font.setPointSizeF(table.font.points);
    form.setFont(font);
  }
  const int dpi = Dpi(form);
  form.setFixedSize(Px(table.width, dpi), Px(table.height, dpi));
  if (table.placement == forms::Placement::CentreOfScreen) CentreOnScreen(form);
  for (const forms::Control& c : table.controls) {
    QWidget* parent = std::string_view(c.container) == table.name
                          ? &form
                          : form.findChild<QWidget*>(QString::fromLatin1(c.container));
    QWidget* w = Make(c, parent ? parent : &form);
    w->setObjectName(QString::fromLatin1(c.name));
    if (*c.tool_tip) w->setToolTip(QString::fromUtf8(c.tool_tip));
    if (c.hidden) w->hide();
  }
  FitForm(form, table);
  const std::vector<const forms::Control*> order = forms::TabOrder(table);
  for (size_t i = 0; i + 1 < order.size(); ++i)
    QWidget::setTabOrder(Get<QWidget>(form, order[i]->name), Get<QWidget>(form, order[i + 1]->name));
}

void FitForm(QWidget& form, const forms::Form& table) {
  const int dpi = Dpi(form);
  const std::vector<forms::PixelRect> layout = forms::LayOut(table, dpi, [&](const forms::Control& c) {
    if (c.kind == ControlKind::Button) {
      const auto* button = Get<QPushButton>(form, c.name);
      return forms::ButtonWidth(button->fontMetrics().horizontalAdvance(QString::fromStdString(forms::CaptionText(c.caption))), dpi);
    }
    if (c.kind != ControlKind::Combo) return 0;
    auto* combo = Get<QComboBox>(form, c.name);
    combo->setGeometry(TwipsRect(c.rect.left, c.rect.top, c.rect.width, c.rect.height, dpi));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const int field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
      widest = std::max(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
    return forms::ComboWidth(widest, combo->width() - field, dpi);
  });
  for (size_t i = 0; i < table.controls.size(); ++i) {
    const forms::PixelRect& r = layout[i];
    Get<QWidget>(form, table.controls[i].name)->setGeometry(r.left, r.top, r.width, r.height);
  }
}

}  // namespace sevrik::qt
