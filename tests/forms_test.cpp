// The forms' layout tables and the progress window's rules, without a window.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <string>

#include "interface/forms.h"
#include "interface/progress_model.h"

namespace sevrik {
namespace {

using forms::Control;
using forms::Form;

const Form* const kForms[] = {&forms::kFrmKb, &forms::kFrmViewLog, &forms::kFrmProgress};

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
