#pragma once
// TSecretPanel: a panel whose Lines scroll through it, upward or sideways, one pixel per timer
// tick, with an optional glyph beside them; the panel's own controls hide while it plays.
//
// With AsyncDrawing the ticks come from the timer's worker thread. The worker touches no
// window and no drawing object: it moves the position on and posts a message (the one thing
// the window layer lets another thread do); the user-interface thread paints the text when
// the message arrives, and stops the play when the end is reached. A post that arrives after
// the play stopped, or after the window went, finds nothing to paint.

#include <atomic>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/timers/ExTimer.h"

enum TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };
enum TScrollDirection { sdVertical, sdHorizontal };
QUILLO_DECLARE_ENUM_TYPE(TGlyphLayout)
QUILLO_DECLARE_ENUM_TYPE(TScrollDirection)

using TPanelDrawEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect& rect)>;

class TSecretPanel : public TCustomPanel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSecretPanel(TComponent* owner);
  ~TSecretPanel() override;
  void BeforeDestruction() override;

  bool GetActive() const { return active_; }
  void SetActive(bool value);
  void Play() { SetActive(true); }
  void Stop() { SetActive(false); }
  bool GetAsyncDrawing() const { return asyncDrawing_; }
  void SetAsyncDrawing(bool value);
  bool GetCycled() const { return cycled_; }
  void SetCycled(bool value) { cycled_ = value; }
  TBitmap* GetGlyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  TGlyphLayout GetGlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(TGlyphLayout value);
  unsigned GetInterval() const { return timer_->GetInterval(); }
  void SetInterval(unsigned value) { timer_->SetInterval(value); }
  TStrings* GetLines() const { return lines_.get(); }
  void SetLines(TStrings* value) { lines_->Assign(value); }
  TScrollDirection GetScrollDirection() const { return scrollDirection_; }
  void SetScrollDirection(TScrollDirection value);
  TBevelCut GetTextStyle() const { return textStyle_; }
  void SetTextStyle(TBevelCut value);

  int ScrollPosition() const { return position_.load(); }
  int ScrollLength() const { return scrollLength_.load(); }
  TRect TextRect() const { return textRect_; }
  TPoint GlyphOrigin() const { return glyphOrigin_; }
  bool HasMemoryImage() const { return memoryImage_ != nullptr; }

  TPanelDrawEvent OnPaintClient;
  TNotifyEvent OnStartPlay;
  TNotifyEvent OnStopPlay;

  void Dispatch(TMessage& message) override;

protected:
  virtual void PaintClient(TCanvas* canvas, TRect& rect);
  // One tick: on the worker with AsyncDrawing, else on the user-interface thread.
  virtual void TimerExpired(TObject* sender);
  virtual void StartPlay();
  virtual void StopPlay();
  void Paint() override;
  void Resize() override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  int InflateWidth() const;
  void RecalcDrawRect();
  void UpdateMemoryImage();
  void PaintText();
  void Rebuild(bool resetPosition);
  void PostToWindow(UINT message);
  void LinesChanged();

  TOwnedPtr<TStringList> lines_;
  TOwnedPtr<TBitmap> glyph_;
  TOwnedPtr<TBitmap> memoryImage_;  // only while active
  TExTimer* timer_ = nullptr;       // owned as a component
  std::vector<TControl*> hiddenControls_;
  std::atomic<int> position_{0};
  std::atomic<int> scrollLength_{0};
  std::atomic<bool> active_{false};
  std::atomic<bool> paintPosted_{false};
  std::atomic<bool> stopPosted_{false};
  std::atomic<HWND> window_{nullptr};  // the worker's only way to the panel
  int lineHeight_ = 1;
  int firstLine_ = 0;
  TRect textRect_;
  TRect paintRect_;
  TPoint glyphOrigin_;
  std::atomic<bool> asyncDrawing_{true};  // read by the worker
  std::atomic<bool> cycled_{false};
  TGlyphLayout glyphLayout_ = glGlyphLeft;
  TScrollDirection scrollDirection_ = sdVertical;
  TBevelCut textStyle_ = bvNone;
};
