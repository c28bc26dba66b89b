// frmProgress's rules without a window: the bar's range and value as a build reports them,
// how often the window is repainted, and the notice that takes the bar's place while a run
// waits for another one. The view keeps one and draws what it holds.
#pragma once

#include <string>

#include "interface/forms.h"
#include "interface/session.h"

namespace sevrik {

class ProgressModel {
 public:
  // Each call answers whether the window is to be repainted now.
  // Shows the bar at 0 (the notice hidden) in a window that is shown and centred.
  bool Show();
  // The bar's range becomes 0 to `maximum`, held between 0 and 2^31 - 1; a value beyond the
  // new maximum starts again at 0.
  bool SetMaximum(long maximum);
  // The bar's value, held between 0 and the maximum. Repainting costs far more than an item:
  // the window is repainted at the first value after Show, then each time the value has moved
  // by a two-hundredth of the maximum (at least 1), and at the maximum.
  bool SetValue(long value);
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
  long maximum_ = forms::kProgressDesignMaximum;
  long value_ = 0;
  long last_painted_ = -1;
  bool visible_ = false;
  bool notice_shown_ = false;
  std::string notice_;
};

// A progress display drawn from a ProgressModel: the calls of a build go to the model, and the
// view draws what the model then holds. A view implements the two drawings only.
class ModelledProgress : public ProgressSink {
 public:
  void Show() override { Draw(true, model_.Show()); }
  void SetMaximum(long maximum) override { Draw(false, model_.SetMaximum(maximum)); }
  // Called for every item: only the bar's value is drawn.
  void SetValue(long value) override { DrawValue(model_.SetValue(value)); }
  void Hide() override { Draw(false, model_.Hide()); }
  void Notice(const std::string& text) override { Draw(true, model_.Notice(text)); }

 protected:
  // Draws the whole model; `centre` centres the window first; `repaint` paints now.
  virtual void Draw(bool centre, bool repaint) = 0;
  // Draws the bar's value alone.
  virtual void DrawValue(bool repaint) = 0;
  const ProgressModel& model() const { return model_; }

 private:
  ProgressModel model_;
};

}  // namespace sevrik
