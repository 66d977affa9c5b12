#pragma once

#include <cstdint>

// Mouse buttons and modifiers of one event, with the bit values plug-in code compares against.
enum CButton : int64_t {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5,
  kAlt = 1 << 6,
  kDoubleClick = 1 << 10,
};

inline constexpr int64_t kButtonMask = kLButton | kMButton | kRButton;
inline constexpr int64_t kModifierMask = kShift | kControl | kAlt;
inline constexpr int64_t kDefaultValueModifier = kControl;

class CButtonState {
 public:
  constexpr CButtonState(int64_t s = 0) : state(s) {}

  constexpr int64_t getButtonState() const { return state & kButtonMask; }
  constexpr int64_t getModifierState() const { return state & kModifierMask; }
  constexpr bool isLeftButton() const { return getButtonState() == kLButton; }
  constexpr bool isRightButton() const { return getButtonState() == kRButton; }
  constexpr bool isDoubleClick() const { return (state & kDoubleClick) != 0; }

  constexpr operator int64_t() const { return state; }
  constexpr int64_t operator&(int64_t mask) const { return state & mask; }
  constexpr int64_t operator|(int64_t mask) const { return state | mask; }

 private:
  int64_t state;
};

enum CMouseEventResult {
  kMouseEventNotImplemented = 0,
  kMouseEventHandled,
  kMouseEventNotHandled,
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};
