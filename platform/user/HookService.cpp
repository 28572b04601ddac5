// The hook chains, newest first.

#include "platform/user/HookService.h"

#include <algorithm>

HHOOK HookService::Install(int kind, HOOKPROC proc) {
  auto hook = std::make_unique<HookObject>();
  hook->kind = kind;
  hook->proc = std::move(proc);
  HHOOK raw = hook.get();
  hooks_.insert(hooks_.begin(), std::move(hook));
  return raw;
}

bool HookService::Remove(HHOOK hook) {
  for (auto& h : hooks_)
    if (h.get() == hook && !h->removed) {
      h->removed = true;
      return true;
    }
  return false;
}

bool HookService::Has(int kind) const {
  return std::any_of(hooks_.begin(), hooks_.end(), [&](const auto& h) { return h->kind == kind && !h->removed; });
}

LRESULT HookService::Call(int kind, int code, WPARAM wParam, LPARAM lParam) const {
  for (auto& h : hooks_)
    if (h->kind == kind && !h->removed) {
      HOOKPROC proc = h->proc;  // a copy: the hook may remove itself while it runs
      return proc(code, wParam, lParam);
    }
  return 0;
}

LRESULT HookService::CallNext(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) const {
  auto it = std::find_if(hooks_.begin(), hooks_.end(), [&](const auto& h) { return h.get() == hook; });
  if (it == hooks_.end()) return 0;
  int kind = (*it)->kind;
  for (++it; it != hooks_.end(); ++it)
    if ((*it)->kind == kind && !(*it)->removed) {
      HOOKPROC proc = (*it)->proc;
      return proc(code, wParam, lParam);
    }
  return 0;
}

void HookService::Collect() {
  hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [](const auto& h) { return h->removed; }), hooks_.end());
}
