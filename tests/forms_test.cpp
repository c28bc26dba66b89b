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

// How many of the values 1 to maximum, each set once, repaint the window.
int Repaints(ProgressModel& p, long maximum) {
  p.Show();
  p.SetMaximum(maximum);
  int repaints = 0;
  for (long v = 1; v <= maximum; ++v) repaints += p.SetValue(v);
  return repaints;
}

TEST(ProgressRules, RepaintedAtMostAboutTwoHundredTimesAndAtTheEnd) {
  const struct {
    long maximum;
    int repaints;
  } cases[] = {{1, 1}, {3, 3}, {200, 200}, {400, 201}, {1000, 201}, {50000, 201}, {50250, 202}};
  for (const auto& c : cases) {
    ProgressModel p;
    EXPECT_EQ(Repaints(p, c.maximum), c.repaints) << c.maximum;
    EXPECT_EQ(p.value(), c.maximum);
  }
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
