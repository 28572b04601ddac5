#pragma once
// One MDICLIENT window's state and what its messages do: its children and their ids, which
// one is active and which one maximised, the frame's own title and the window menu.

#include <memory>
#include <string>
#include <vector>

#include "platform/user/Window.h"

class MdiClient {
public:
  MdiClient(HWND client, const CLIENTCREATESTRUCT* create);
  ~MdiClient();
  MdiClient(const MdiClient&) = delete;
  MdiClient& operator=(const MdiClient&) = delete;

  // The state behind an MDICLIENT window, or behind the client an MDI child lives in; null
  // for any other window. Callers hold the pointer while they send messages, so the state
  // outlives a client destroyed meanwhile.
  static std::shared_ptr<MdiClient> Of(HWND client);
  static std::shared_ptr<MdiClient> OfChild(HWND child);

  HWND Client() const { return client_; }
  HWND Frame() const { return frame_; }
  HWND Active() const;
  HWND Maximized() const;
  // A live MDI child of this client, not being destroyed.
  bool Owns(HWND window) const;
  // The MDI children, topmost first.
  std::vector<HWND> Children() const;
  HWND ChildWithId(LONG_PTR id) const;
  // True while this client is making the child whose creation parameter this is.
  bool IsMaking(LPVOID param) const { return param && param == making_; }

  // The client's messages.
  HWND Create(const MDICREATESTRUCT& create, DWORD exStyle);
  void Destroy(HWND child);
  void Activate(HWND child);
  void Next(HWND from, bool previous);
  BOOL Tile(WPARAM how);
  BOOL Cascade(WPARAM how);
  HMENU SetMenus(HMENU frameMenu, HMENU windowMenu);
  HMENU RefreshMenu();
  void Resized(int width, int height);
  void FocusActive();
  void ActivateAt(POINT client);

  // What the children's and the frame's default procedures report.
  void ChildSized(HWND child, WPARAM kind);
  void ChildRetitled(HWND child);
  void ChildGone(HWND child);
  void SetFrameTitle(const std::string& title);
  // The child's window rectangle that puts its client area over the whole client.
  RECT MaximizedChildRect(HWND child) const;

private:
  void SwitchTo(HWND child, bool restorePrevious);
  void ActivateAfterLosing(HWND child);
  HWND Neighbour(HWND from, bool previous, bool skipIconic = false) const;
  void BringToTop(HWND child);
  void Forget(HWND child, LONG_PTR id);
  std::vector<HWND> Arrangeable(bool skipDisabled) const;
  RECT ArrangeArea();
  void UpdateFrameTitle();
  void RebuildWindowMenuList();
  void MergeChildButtonsIntoMenuBar(HWND child);
  void RemoveChildButtonsFromMenuBar();

  HWND client_;
  HWND frame_;
  HMENU windowMenu_;
  LONG_PTR firstId_;
  HWND active_ = nullptr;
  HWND maximized_ = nullptr;
  HWND destroying_ = nullptr;     // the child WM_MDIDESTROY is destroying
  const void* making_ = nullptr;  // the MDICREATESTRUCT of the child being made
  std::string frameTitle_;        // the frame's text without the maximised child's
  SIZE size_{};
  std::vector<HBITMAP> barBitmaps_;  // the pictures of the merged items in the frame's bar
};
