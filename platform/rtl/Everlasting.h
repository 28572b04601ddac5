#pragma once
// A static that is built on first use and never destroyed.
//
// The platform's handle tables (GDI objects, device contexts, image lists, cursors, menus, the
// controls' per-window data...) are reached from the destructors of other statics: a glyph
// cache frees its image lists, the application frees its windows and their fonts. C++ destroys
// statics in the reverse order of their construction, which depends on which was first used,
// so a table destroyed before one of its users turns that user's destructor into a use of freed
// memory. Tables kept in an Everlasting outlive every user whatever the order; what they hold
// is plain memory that the process's end gives back anyway.

#include <new>
#include <utility>

template <class T>
class Everlasting {
public:
  template <class... Args>
  explicit Everlasting(Args&&... args) {
    ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
  }
  Everlasting(const Everlasting&) = delete;
  Everlasting& operator=(const Everlasting&) = delete;
  ~Everlasting() = default;  // deliberately leaves the value alive

  T& operator*() { return *get(); }
  T* operator->() { return get(); }
  T* get() { return std::launder(reinterpret_cast<T*>(storage_)); }

private:
  alignas(T) unsigned char storage_[sizeof(T)];
};
