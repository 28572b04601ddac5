#pragma once
// What the documents need of the program around them: the main window's controls that show
// a document's state, the Window menu's list, and the active tool, which stands aside while
// the active document changes. The main window installs its host at start-up; without one
// (a document made on its own, as in a test) every answer is the neutral one below.

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Control.h"
#include "quillo/base/HostSlot.h"

class TCustomForm;
class TExTimerEvent;
class TImageForm;
class TPanel;
class TUpDown;
namespace tbx {
class TToolbarX;
}  // namespace tbx

class DocumentHost {
public:
  DocumentHost() = default;
  virtual ~DocumentHost() = default;
  DocumentHost(const DocumentHost&) = delete;
  DocumentHost& operator=(const DocumentHost&) = delete;

  // The main window while it lives (null once it is being destroyed): document windows are
  // placed and snapped below it, and work for its message loop is posted to it.
  virtual TCustomForm* MainWindow() { return nullptr; }
  // The control that holds the active document's zoom, and its label.
  virtual TUpDown* ZoomControl() { return nullptr; }
  virtual void ShowZoomLabel(const AnsiString& /*label*/) {}
  // The swatches of the drawing (left button) and background (right button) colours.
  virtual TPanel* DrawingSwatch() { return nullptr; }
  virtual TPanel* BackgroundSwatch() { return nullptr; }
  // The floating tool palette, which docks in document windows; null while it is going.
  virtual tbx::TToolbarX* ToolPalette() { return nullptr; }
  // Whether new document windows show their rulers.
  virtual bool RulersShown() { return false; }
  // The Window menu lists every document window in list order.
  virtual void WindowListed(TImageForm& /*window*/) {}
  virtual void WindowUnlisted(int /*listIndex*/) {}
  // The marching outline's tick, stopped while documents change.
  virtual TExTimerEvent* ActivityTimer() { return nullptr; }
  // Runs briefly after a document window is activated: the click that activated it does not
  // paint.
  virtual TExTimerEvent* ActivationTimer() { return nullptr; }

  // A new document window gets its mouse and key handlers.
  virtual void WindowMade(TImageForm& /*window*/) {}
  // The active tool around a change of the active document: it stands aside, its feedback
  // leaves the picture, its cursor goes to a new view, its brush mode shows on the status bar.
  virtual void SuspendTool() {}
  virtual void ResumeTool() {}
  virtual void WithdrawToolFeedback() {}
  virtual TCursor ToolCursor() { return crDefault; }
  virtual void ShowBrushMode(TImageForm& /*window*/) {}
  // The brush picture came back from its undo history: its stamped shape is made anew.
  virtual void BrushRestored() {}
  // The active picture's undo history changed: the Undo and Redo commands follow.
  virtual void UndoHistoryChanged() {}
  // The active picture's pixels changed, or another picture became the active one: views of
  // its contents (the histogram) follow.
  virtual void PictureChanged() {}
  // The instant-brush switch changed: every window's button follows.
  virtual void InstantBrushChanged() {}
  // Saves the window's picture as File > Save does; false when it was not saved.
  virtual bool SaveDocument(TImageForm& /*window*/) { return false; }
  // The windows that take commands (the main window, the tool options window) are disabled
  // while a long operation runs.
  virtual void EnableCommandWindows(bool /*enable*/) {}
};

// The installed host, or the neutral one; the main window installs its own at start-up.
inline DocumentHost& TheDocumentHost() { return HostSlot<DocumentHost>::Current(); }
