#pragma once

#include "gui/CPoint.h"

#include <algorithm>

// An axis-aligned rectangle; right and bottom are exclusive for hit tests.
struct CRect {
  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}

  constexpr CCoord getWidth() const { return right - left; }
  constexpr CCoord getHeight() const { return bottom - top; }
  constexpr CPoint getTopLeft() const { return {left, top}; }
  constexpr CPoint getCenter() const { return {left + getWidth() / 2, top + getHeight() / 2}; }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }

  CRect& offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  CRect& inset(CCoord dx, CCoord dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
  }

  constexpr bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool rectOverlap(const CRect& o) const {
    return !isEmpty() && !o.isEmpty() && left < o.right && o.left < right && top < o.bottom &&
           o.top < bottom;
  }
  // Intersection; an empty result when the rectangles do not meet.
  CRect& bound(const CRect& o) {
    left = std::max(left, o.left);
    top = std::max(top, o.top);
    right = std::max(left, std::min(right, o.right));
    bottom = std::max(top, std::min(bottom, o.bottom));
    return *this;
  }
  CRect& unite(const CRect& o) {
    if (o.isEmpty()) return *this;
    if (isEmpty()) return *this = o;
    left = std::min(left, o.left);
    top = std::min(top, o.top);
    right = std::max(right, o.right);
    bottom = std::max(bottom, o.bottom);
    return *this;
  }
  friend constexpr bool operator==(const CRect& a, const CRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  friend constexpr bool operator!=(const CRect& a, const CRect& b) { return !(a == b); }
};
