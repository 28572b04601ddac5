#pragma once
// A seeded monkey for the framework and the window manager: it builds forms (plain, an MDI
// frame with children, modal dialogs run from event handlers, stay-on-top), nested panels,
// windowless blocks, image-list glyphs, timers and hints, then does random things a user or
// a careless program would do (mouse and keys anywhere, the clock, resizing, showing,
// enabling, re-parenting, re-making windows, freeing components in any order, posting from
// a worker thread) and checks after every step what a user relies on. The same seed always
// does the same things, so a failing seed is a reproduction.

#include <cstdint>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "VclFixture.h"

class TImageList;

class Monkey {
public:
  Monkey(UiDriver& ui, std::uint32_t seed);
  ~Monkey();
  Monkey(const Monkey&) = delete;
  Monkey& operator=(const Monkey&) = delete;

  // Runs up to steps random operations; stops early at the first broken invariant (the
  // answer then says what broke and the operations that led there) or when the
  // application was ended. Empty when all went well.
  std::string Run(int steps);

  // What the components' handlers and the tracker call back.
  bool Live(const TObject* object) const { return liveSet_.count(object) != 0; }
  void Track(TComponent* component);
  void Forget(TComponent* component);
  std::uint32_t Next(std::uint32_t bound) { return bound ? rng_() % bound : 0; }
  bool Chance(int percent) { return Next(100) < static_cast<std::uint32_t>(percent); }
  void Note(const std::string& what);
  void RunDialog(TCustomForm* from);
  void HandlerAction(TControl* sender);
  TImageList* SomeImageList();
  TCustomForm* NewForm(TFormStyle style, bool dialog);

private:
  void Step();
  void ModalStep();
  void EndLoopsByInput();
  std::string Describe(HWND window) const;
  void Check(const char* where);
  std::string Broken() const { return broken_; }

  // Choices among the live components, in the order they were made.
  template <class T>
  std::vector<T*> LiveOf() const;
  template <class T>
  T* Pick();
  POINT PointOn(TControl* control);
  POINT PointOnForm(TCustomForm* form);
  POINT SomePoint();

  void OpMouse();
  void OpKeys();
  void OpMake();
  void OpFree();
  void OpChange();
  void OpWindowState();
  void OpReparent();
  void OpRecreate();
  void OpThreadPost();

  UiDriver& ui_;
  std::mt19937 rng_;
  TOwnedPtr<TComponent> tracker_;
  std::vector<TComponent*> live_;
  std::unordered_set<const TObject*> liveSet_;
  std::unordered_set<const TObject*> freed_;
  std::vector<HWND> deadWindows_;
  std::vector<std::string> journal_;
  std::string broken_;
  int modalDepth_ = 0;
  int modalWaits_ = 0;
  int abortWaits_ = 0;
  int step_ = 0;
  int made_ = 0;
};
