#pragma once

// A position in view or frame pixels; y grows downwards.
using CCoord = double;

struct CPoint {
  CCoord x = 0;
  CCoord y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(CCoord px, CCoord py) : x(px), y(py) {}

  CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  CPoint& operator+=(const CPoint& o) { return offset(o.x, o.y); }
  CPoint& operator-=(const CPoint& o) { return offset(-o.x, -o.y); }
  friend constexpr CPoint operator+(CPoint a, const CPoint& b) { return {a.x + b.x, a.y + b.y}; }
  friend constexpr CPoint operator-(CPoint a, const CPoint& b) { return {a.x - b.x, a.y - b.y}; }
  friend constexpr bool operator==(const CPoint& a, const CPoint& b) {
    return a.x == b.x && a.y == b.y;
  }
  friend constexpr bool operator!=(const CPoint& a, const CPoint& b) { return !(a == b); }
};
