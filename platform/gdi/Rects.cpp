#include "platform/gdi/Rects.h"

#include <algorithm>

#include "platform/gdi/Region.h"

BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
  if (!r) return FALSE;
  *r = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* r) { return SetRect(r, 0, 0, 0, 0); }

BOOL CopyRect(RECT* dest, const RECT* src) {
  if (!dest || !src) return FALSE;
  *dest = *src;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* r) {
  return !r || RectEmpty(*r) ? TRUE : FALSE;
}

BOOL EqualRect(const RECT* a, const RECT* b) { return a && b && *a == *b ? TRUE : FALSE; }

BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom ? TRUE : FALSE;
}

BOOL OffsetRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  *r = RECT{r->left + dx, r->top + dy, r->right + dx, r->bottom + dy};
  return TRUE;
}

BOOL InflateRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  *r = RECT{r->left - dx, r->top - dy, r->right + dx, r->bottom + dy};
  return TRUE;
}

BOOL IntersectRect(RECT* dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  *dest = RectIntersection(*a, *b);
  return RectEmpty(*dest) ? FALSE : TRUE;
}

BOOL UnionRect(RECT* dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  if (IsRectEmpty(a)) return CopyRect(dest, b) && !IsRectEmpty(b);
  if (IsRectEmpty(b)) return CopyRect(dest, a);
  *dest = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
               std::max(a->bottom, b->bottom)};
  return TRUE;
}

BOOL SubtractRect(RECT* dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  RECT r = *a;
  RECT cut;
  // Only a cut that spans a whole side shrinks the rectangle, as Windows does.
  if (IntersectRect(&cut, a, b)) {
    if (cut.top == r.top && cut.bottom == r.bottom) {
      if (cut.left == r.left) r.left = cut.right;
      else if (cut.right == r.right) r.right = cut.left;
    } else if (cut.left == r.left && cut.right == r.right) {
      if (cut.top == r.top) r.top = cut.bottom;
      else if (cut.bottom == r.bottom) r.bottom = cut.top;
    }
  }
  *dest = r;
  return IsRectEmpty(&r) ? FALSE : TRUE;
}
