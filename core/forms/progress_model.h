// frmProgress's rules without a window: the bar's range and value as a build reports them,
// how often the window is repainted, and the notice that takes the bar's place while a run
// waits for another one. The view keeps one and draws what it holds.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/forms/forms.h"
#include "core/lookups/session.h"

namespace sevrik {

class ProgressModel {
 public:
  using Clock = std::chrono::steady_clock;
  // The shortest time between two drawings of the bar's value: no person sees more.
  static constexpr std::chrono::milliseconds kDrawInterval{50};

  // `now` tells the time (the tests give their own clock).
  explicit ProgressModel(std::function<Clock::time_point()> now = Clock::now) : now_(std::move(now)) {}

  // Each call answers whether the window is to be drawn now.
  // Shows the bar at 0 (the notice hidden) in a window that is shown and centred.
  bool Show();
  // The bar's range becomes 0 to `maximum`, held between 0 and 2^31 - 1; a value beyond the
  // new maximum starts again at 0.
  bool SetMaximum(long maximum);
  // The bar's value, held between 0 and the maximum. Drawing costs far more than an item (a
  // round trip to the display, under Wine above all), so the value is drawn as often as a
  // person can see it change: at the first value after Show, then when it has reached a
  // whole percent of the maximum that the bar has not shown yet and at least kDrawInterval
  // has passed since the last drawing; and always at the maximum.
  bool SetValue(long value);
  // True while the bar holds a value that has not been drawn.
  bool value_undrawn() const { return value_ != drawn_value_; }
  // Whether the window shows and its bar holds a value not drawn yet; that value then counts
  // as drawn. Asked before the window goes, so that the bar ends on the last value.
  bool FlushValue();
  // Hides the window; the next Show shows the bar again.
  bool Hide();
  // Shows the text in the bar's place, in a window that is shown and centred.
  bool Notice(std::string text);

  long maximum() const { return maximum_; }
  long value() const { return value_; }
  bool visible() const { return visible_; }
  bool notice_shown() const { return notice_shown_; }
  const std::string& notice() const { return notice_; }

 private:
  // The whole percent of the maximum that `value` reaches.
  long long Percent(long value) const;

  std::function<Clock::time_point()> now_;
  long maximum_ = forms::kProgressDesignMaximum;
  long value_ = 0;
  long drawn_value_ = -1;
  long long drawn_percent_ = -1;
  Clock::time_point drawn_at_{};
  bool visible_ = false;
  bool notice_shown_ = false;
  std::string notice_;
};

// A progress display drawn from a ProgressModel: the calls of a build go to the model, and the
// view draws what the model then holds. A view implements the two drawings only.
class ModelledProgress : public ProgressSink {
 public:
  explicit ModelledProgress(std::function<ProgressModel::Clock::time_point()> now = ProgressModel::Clock::now)
      : model_(std::move(now)) {}
  void Show() override { Draw(true, model_.Show()); }
  void SetMaximum(long maximum) override { Draw(false, model_.SetMaximum(maximum)); }
  // Called for every item: the view is not touched unless the model says the value is to be
  // drawn now.
  void SetValue(long value) override {
    if (model_.SetValue(value)) DrawValue();
  }
  // The last value is drawn before the window goes.
  void Hide() override {
    if (model_.FlushValue()) DrawValue();
    Draw(false, model_.Hide());
  }
  void Notice(const std::string& text) override { Draw(true, model_.Notice(text)); }

 protected:
  // Draws the whole model; `centre` centres the window first; `repaint` paints now.
  virtual void Draw(bool centre, bool repaint) = 0;
  // Draws the bar's value alone, and paints it now.
  virtual void DrawValue() = 0;
  const ProgressModel& model() const { return model_; }

 private:
  ProgressModel model_;
};

}  // namespace sevrik
