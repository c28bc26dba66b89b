// The forms' layout tables and the progress window's rules, without a window.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <utility>
#include <vector>
#include <cstdint>
#include <set>
#include <string>

#include "core/forms/form_layout.h"
#include "core/forms/forms.h"
#include "core/forms/progress_model.h"
#include "tests/twips.h"

namespace sevrik {
namespace {

using forms::Control;
using forms::Form;

const Form* const kForms[] = {&forms::kFrmKb, &forms::kFrmViewLog, &forms::kFrmProgress, &forms::kFrmCheck,
                              &forms::kFrmHistory};

static_assert(forms::Find(forms::kFrmKb, "cmdGo").tab == 5);

// Every control lies inside its container, which is the form or a frame before it in the
// table; names and tab indexes are the form's own; the access key is the caption's.
TEST(FormTables, EachControlInsideItsContainerWithItsOwnNameTabAndKey) {
  for (const Form* form : kForms) {
    SCOPED_TRACE(form->name);
    std::set<std::string> names;
    std::set<int> tabs;
    for (const Control& c : form->controls) {
      SCOPED_TRACE(c.name);
      EXPECT_TRUE(names.insert(c.name).second);
      EXPECT_TRUE(tabs.insert(c.tab).second);
      int width = form->width, height = form->height;
      if (std::string(c.container) != form->name) {
        ASSERT_TRUE(names.count(c.container)) << "container after its control: " << c.container;
        const Control& frame = forms::Find(*form, c.container);
        EXPECT_EQ(frame.kind, forms::ControlKind::Frame);
        width = frame.rect.width;
        height = frame.rect.height;
      }
      EXPECT_GE(c.rect.left, 0);
      EXPECT_GE(c.rect.top, 0);
      EXPECT_GT(c.rect.width, 0);
      EXPECT_GT(c.rect.height, 0);
      EXPECT_LE(c.rect.left + c.rect.width, width);
      EXPECT_LE(c.rect.top + c.rect.height, height);
      const std::string caption = c.caption;
      const size_t amp = caption.find('&');
      EXPECT_EQ(c.access_key, amp == std::string::npos ? 0 : caption.at(amp + 1));
    }
  }
}

TEST(FormTables, TheTabOrderOfTheBrowser) {
  std::string order;
  for (const Control* c : forms::TabOrder(forms::kFrmKb)) order += std::string(c->name) + " ";
  EXPECT_EQ(order, "cbDok cbFld txtQ cmdGo lView1 cmdClose cmdFlat cmdBatal cmdConnect ");
  order.clear();
  for (const Control* c : forms::TabOrder(forms::kFrmViewLog)) order += std::string(c->name) + " ";
  EXPECT_EQ(order, "File1 txtMsg cmdClose ");
  EXPECT_TRUE(forms::TabOrder(forms::kFrmProgress).empty());
}

// The pixels a control needs across: the named ones more than the table gives (at 96 DPI).
std::function<int(const Control&)> Needing(std::vector<std::pair<std::string, int>> needs) {
  return [needs](const Control& c) {
    for (const auto& [name, px] : needs)
      if (name == c.name) return px;
    return 0;
  };
}

std::string Row(const Form& form, const std::vector<forms::PixelRect>& layout, std::vector<const char*> names) {
  std::string row;
  for (const char* name : names) {
    const forms::PixelRect& r = forms::RectOf(form, layout, name);
    row += std::string(name) + " " + std::to_string(r.left) + "+" + std::to_string(r.width) + " ";
  }
  return row;
}

// A control that needs more than the table gives is widened within its row: a text box to its
// right gives up the width, else the row moves left into the free space before it; the row's
// right edge, the other rows and every height stay as drawn.
TEST(FormLayout, AControlWidenedWithinItsRow) {
  const auto& kb = forms::kFrmKb;
  const std::vector<const char*> search = {"Label1", "cbDok", "cbFld", "txtQ", "cmdGo"};
  const std::vector<const char*> buttons = {"cmdConnect", "cmdBatal", "cmdFlat", "cmdClose"};
  const struct {
    int dpi;
    std::vector<std::pair<std::string, int>> needs;
    std::string search, buttons;
  } cases[] = {
      {96, {}, "Label1 9+82 cbDok 68+76 cbFld 147+108 txtQ 259+286 cmdGo 550+107 ",
       "cmdConnect 297+89 cmdBatal 391+99 cmdFlat 492+98 cmdClose 600+74 "},
      {96, {{"cbFld", 120}, {"cmdGo", 50}}, "Label1 9+82 cbDok 68+76 cbFld 147+120 txtQ 271+274 cmdGo 550+107 ",
       "cmdConnect 297+89 cmdBatal 391+99 cmdFlat 492+98 cmdClose 600+74 "},
      {96, {{"cmdFlat", 110}, {"cmdClose", 80}},  // Close grows into the form's margin, then the row moves
       "Label1 9+82 cbDok 68+76 cbFld 147+108 txtQ 259+286 cmdGo 550+107 ",
       "cmdConnect 279+89 cmdBatal 373+99 cmdFlat 474+110 cmdClose 594+80 "},
      // More than the row has room for: the text box gives half its width, the row moves to the
      // frame's margin, the field takes what that made.
      {96, {{"cbFld", 500}}, "Label1 6+82 cbDok 65+76 cbFld 144+254 txtQ 402+143 cmdGo 550+107 ",
       "cmdConnect 297+89 cmdBatal 391+99 cmdFlat 492+98 cmdClose 600+74 "},
      {144, {{"cbFld", 180}}, "Label1 14+123 cbDok 102+114 cbFld 221+180 txtQ 407+411 cmdGo 825+161 ",
       "cmdConnect 446+134 cmdBatal 587+149 cmdFlat 738+147 cmdClose 900+111 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    const std::vector<forms::PixelRect> layout = forms::LayOut(kb, c.dpi, Needing(c.needs));
    EXPECT_EQ(Row(kb, layout, search), c.search);
    EXPECT_EQ(Row(kb, layout, buttons), c.buttons);
    for (size_t i = 0; i < kb.controls.size(); ++i) {
      const Control& ctl = kb.controls[i];
      EXPECT_EQ(layout[i].top, test::PixelsOf(ctl.rect.top, c.dpi)) << ctl.name;
      EXPECT_EQ(layout[i].height, test::PixelsOf(ctl.rect.height, c.dpi)) << ctl.name;
    }
    if (c.dpi == 96) {
      EXPECT_EQ(forms::RectOf(kb, layout, "lView1"), (forms::PixelRect{6, 51, 650, 283}));
    }
  }
}

TEST(FormLayout, TheRoomOfTextsAndCaptions) {
  EXPECT_EQ(forms::CaptionText("&Create EDIFACT"), "Create EDIFACT");
  EXPECT_EQ(forms::CaptionText("A && B"), "A & B");
  EXPECT_EQ(forms::ButtonWidth(80, 96), 92);  // 6 pixels each side at 96 DPI, 9 at 144
  EXPECT_EQ(forms::ButtonWidth(80, 144), 98);
  EXPECT_EQ(forms::ComboWidth(70, 21, 96), 97);
  EXPECT_EQ(forms::ComboFieldHeight(13, 96), 15);
  EXPECT_EQ(forms::ComboFieldHeight(19, 144), 22);
}

// A clock that moves only when the test moves it.
struct TestClock {
  ProgressModel::Clock::time_point at{};
  std::function<ProgressModel::Clock::time_point()> Now() {
    return [this] { return at; };
  }
};

// How many of the values 1 to maximum, each set once `ms_per_item` after the one before, are
// drawn.
int Draws(long maximum, int ms_per_item) {
  TestClock clock;
  ProgressModel p(clock.Now());
  p.Show();
  p.SetMaximum(maximum);
  int draws = 0;
  for (long v = 1; v <= maximum; ++v) {
    clock.at += std::chrono::milliseconds(ms_per_item);
    draws += p.SetValue(v);
  }
  EXPECT_EQ(p.value(), maximum);
  EXPECT_FALSE(p.value_undrawn());
  return draws;
}

TEST(ProgressRules, DrawnOnAWholePercentAtMostEvery50MsAndAtTheEnd) {
  const struct {
    long maximum;
    int ms_per_item;
    int draws;
  } cases[] = {
      {1, 0, 1},        // the first value is the maximum
      {5000, 0, 2},     // a build faster than the eye: the first value and the maximum
      {5000, 1, 101},   // 5 s: the first value, each percent 50 ms on (1, 51, ... 4951), the maximum
      {50000, 10, 101}, // a slow build: each whole percent once
      {3, 100, 3},      // fewer items than percents: each item
  };
  for (const auto& c : cases) EXPECT_EQ(Draws(c.maximum, c.ms_per_item), c.draws) << c.maximum << " " << c.ms_per_item;
}

// The value drawings of a view.
class CountingProgress : public ModelledProgress {
 public:
  explicit CountingProgress(TestClock& clock) : ModelledProgress(clock.Now()) {}
  int values_drawn = 0;
  long last_value_drawn = -1;

 protected:
  void Draw(bool, bool) override {}
  void DrawValue() override {
    ++values_drawn;
    last_value_drawn = model().value();
  }
};

TEST(ProgressRules, TheLastValueIsDrawnBeforeTheWindowGoes) {
  TestClock clock;  // that never moves
  CountingProgress progress(clock);
  progress.Show();
  progress.SetMaximum(50000);
  for (long v = 1; v <= 32767; ++v) progress.SetValue(v);  // a counter that stops short
  EXPECT_EQ(progress.values_drawn, 1);
  progress.Hide();
  EXPECT_EQ(progress.values_drawn, 2);
  EXPECT_EQ(progress.last_value_drawn, 32767);
  progress.Show();
  progress.Hide();  // nothing more to draw
  EXPECT_EQ(progress.values_drawn, 2);
}

TEST(ProgressRules, TheBarHeldInItsRange) {
  ProgressModel p;
  EXPECT_EQ(p.maximum(), 100);  // as drawn
  EXPECT_EQ(p.value(), 0);
  EXPECT_FALSE(p.visible());
  p.Show();
  p.SetValue(150);
  EXPECT_EQ(p.value(), 100);
  p.SetValue(-3);
  EXPECT_EQ(p.value(), 0);
  p.SetMaximum(-5);
  EXPECT_EQ(p.maximum(), 0);
  p.SetMaximum(LONG_MAX);
  EXPECT_EQ(p.maximum(), INT32_MAX);
  p.SetValue(70);
  p.SetMaximum(50);  // a value beyond the new maximum starts again
  EXPECT_EQ(p.value(), 0);
  p.SetValue(20);
  p.Show();
  EXPECT_EQ(p.value(), 0);
  EXPECT_TRUE(p.SetValue(1));  // the first value after Show is painted
}

TEST(ProgressRules, TheNoticeTakesTheBarsPlaceUntilShowOrHide) {
  ProgressModel p;
  EXPECT_TRUE(p.Notice("Menunggu"));
  EXPECT_TRUE(p.visible());
  EXPECT_TRUE(p.notice_shown());
  EXPECT_EQ(p.notice(), "Menunggu");
  p.Hide();
  EXPECT_FALSE(p.visible());
  EXPECT_FALSE(p.notice_shown());
  EXPECT_EQ(p.notice(), "Menunggu");  // the text stays in its label
  p.Notice("lagi");
  p.Show();
  EXPECT_TRUE(p.visible());
  EXPECT_FALSE(p.notice_shown());
}

}  // namespace
}  // namespace sevrik
