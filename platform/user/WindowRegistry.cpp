// The windows and classes there are.

#include "platform/user/WindowRegistry.h"

#include <cstdint>

#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"

namespace {

std::string Upper(const char* s) { return UpperCase(s ? s : ""); }

}  // namespace

WindowObject* WindowRegistry::Live(HWND window) const {
  if (!window) return nullptr;
  if (window == desktop_.get()) return desktop_.get();
  auto it = windows_.find(window);
  return it == windows_.end() || it->second->dead ? nullptr : it->second.get();
}

bool WindowRegistry::LiveFromAnyThread(HWND window) const {
  std::lock_guard<std::mutex> lock(handlesMutex_);
  return handles_.count(window) != 0;
}

void WindowRegistry::SetDesktop(std::unique_ptr<WindowObject> desktop) {
  std::lock_guard<std::mutex> lock(handlesMutex_);
  handles_.erase(desktop_.get());
  desktop_ = std::move(desktop);
  if (desktop_) handles_.insert(desktop_.get());
}

void WindowRegistry::Add(std::unique_ptr<WindowObject> window) {
  const WindowObject* key = window.get();
  {
    std::lock_guard<std::mutex> lock(handlesMutex_);
    handles_.insert(window.get());
  }
  windows_.emplace(key, std::move(window));
}

void WindowRegistry::Bury(HWND window) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  {
    std::lock_guard<std::mutex> lock(handlesMutex_);
    handles_.erase(window);
  }
  graveyard_.push_back(std::move(it->second));
  windows_.erase(it);
}

std::vector<HWND> WindowRegistry::OwnedBy(HWND owner) const {
  std::vector<HWND> owned;
  for (auto& [key, w] : windows_)
    if (w->owner == owner) owned.push_back(w.get());
  return owned;
}

void WindowRegistry::ForgetOwner(HWND owner) {
  for (auto& [key, w] : windows_)
    if (w->owner == owner) w->owner = nullptr;
}

bool WindowRegistry::AnyOfClass(const std::shared_ptr<WindowClass>& cls) const {
  for (auto& [key, w] : windows_)
    if (w->cls == cls) return true;
  return false;
}

ATOM WindowRegistry::AddClass(std::shared_ptr<WindowClass> cls) {
  std::string key = Upper(cls->name.c_str());
  if (classes_.count(key)) return 0;
  cls->atom = nextAtom_++;
  classes_[key] = cls;
  return cls->atom;
}

std::shared_ptr<WindowClass> WindowRegistry::FindClass(LPCSTR name) const {
  if (IS_INTRESOURCE(name)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
    for (auto& [key, cls] : classes_)
      if (cls->atom == atom) return cls;
    return nullptr;
  }
  auto it = classes_.find(Upper(name));
  return it == classes_.end() ? nullptr : it->second;
}

void WindowRegistry::RemoveClass(const std::string& name) { classes_.erase(Upper(name.c_str())); }

void WindowRegistry::End() {
  {
    std::lock_guard<std::mutex> lock(handlesMutex_);
    handles_.clear();
  }
  windows_.clear();
  graveyard_.clear();
  desktop_.reset();
}
