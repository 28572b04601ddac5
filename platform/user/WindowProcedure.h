#pragma once
// A window procedure: any callable, shared by the copies made of it. Two procedures are equal
// when they are copies of one another, or when both were made from the same plain function,
// so a component that subclassed a window can tell whether its procedure is still the
// window's before it puts the previous one back.

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>

#include "platform/gdi/WinDefs.h"

class WindowProcedure {
public:
  using Signature = LRESULT(HWND, UINT, WPARAM, LPARAM);

  WindowProcedure() = default;
  WindowProcedure(std::nullptr_t) {}
  WindowProcedure(Signature* function)
      : call_(function ? std::make_shared<const std::function<Signature>>(function) : nullptr), function_(function) {}
  template <class Callable,
            class = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, WindowProcedure> &&
                                     std::is_invocable_r_v<LRESULT, Callable&, HWND, UINT, WPARAM, LPARAM>>>
  WindowProcedure(Callable callable)
      : call_(std::make_shared<const std::function<Signature>>(std::move(callable))) {}

  LRESULT operator()(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return call_ ? (*call_)(window, message, wParam, lParam) : 0;
  }
  explicit operator bool() const { return call_ != nullptr; }

  friend bool operator==(const WindowProcedure& a, const WindowProcedure& b) {
    if (a.call_ == b.call_) return true;
    return a.function_ != nullptr && a.function_ == b.function_;
  }

private:
  std::shared_ptr<const std::function<Signature>> call_;
  Signature* function_ = nullptr;  // set when made from a plain function
};
