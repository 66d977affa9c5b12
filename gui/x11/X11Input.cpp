#include "gui/x11/X11Input.h"

#include <cmath>

namespace {

// X protocol values (core protocol; fixed for all servers).
constexpr uint16_t kShiftMask = 1 << 0, kLockMask = 1 << 1, kControlMask = 1 << 2,
                   kMod1Mask = 1 << 3, kMod5Mask = 1 << 7, kButton1Mask = 1 << 8,
                   kButton2Mask = 1 << 9, kButton3Mask = 1 << 10;

constexpr uint32_t kDoubleClickMs = 250;
constexpr double kDoubleClickDistance = 5;

}  // namespace

int64_t modifiersFromXState(uint16_t state) {
  int64_t m = 0;
  if (state & kShiftMask) m |= kShift;
  if (state & kControlMask) m |= kControl;
  if (state & (kMod1Mask | kMod5Mask)) m |= kAlt;
  return m;
}

int64_t buttonsFromXState(uint16_t state) {
  int64_t b = 0;
  if (state & kButton1Mask) b |= kLButton;
  if (state & kButton2Mask) b |= kMButton;
  if (state & kButton3Mask) b |= kRButton;
  return b;
}

int64_t buttonFromXButton(uint8_t button) {
  switch (button) {
    case 1:
      return kLButton;
    case 2:
      return kMButton;
    case 3:
      return kRButton;
    default:
      return 0;
  }
}

bool keyCodeFromKeysym(uint32_t sym, uint16_t state, CKeyCode& key) {
  key = CKeyCode();
  if ((state & kLockMask) && sym >= 'a' && sym <= 'z') sym -= 'a' - 'A';
  switch (sym) {
    case 0xff08:
      key.virt = kVKeyBack;
      break;
    case 0xff09:
      key.virt = kVKeyTab;
      break;
    case 0xff0d:
      key.virt = kVKeyReturn;
      break;
    case 0xff8d:
      key.virt = kVKeyEnter;
      break;
    case 0xff1b:
      key.virt = kVKeyEscape;
      break;
    case 0xff50:
      key.virt = kVKeyHome;
      break;
    case 0xff51:
      key.virt = kVKeyLeft;
      break;
    case 0xff52:
      key.virt = kVKeyUp;
      break;
    case 0xff53:
      key.virt = kVKeyRight;
      break;
    case 0xff54:
      key.virt = kVKeyDown;
      break;
    case 0xff55:
      key.virt = kVKeyPageUp;
      break;
    case 0xff56:
      key.virt = kVKeyPageDown;
      break;
    case 0xff57:
      key.virt = kVKeyEnd;
      break;
    case 0xffff:
    case 0xff9f:
      key.virt = kVKeyDelete;
      break;
    default:
      // Latin-1 keysyms equal their character codes.
      if (sym < 0x20 || sym > 0xff) return false;
      key.character = static_cast<int32_t>(sym);
  }
  if (state & kShiftMask) key.modifier |= kKeyModifierShift;
  if (state & kControlMask) key.modifier |= kKeyModifierControl;
  if (state & (kMod1Mask | kMod5Mask)) key.modifier |= kKeyModifierAlternate;
  return true;
}

bool DoubleClickDetector::press(uint8_t button, uint32_t timeMs, double x, double y) {
  // Server time wraps after 49 days; unsigned difference handles it.
  const bool isDouble =
      !lastWasDouble && button == lastButton && timeMs - lastTime <= kDoubleClickMs &&
      std::fabs(x - lastX) <= kDoubleClickDistance && std::fabs(y - lastY) <= kDoubleClickDistance;
  lastWasDouble = isDouble;
  lastButton = button;
  lastTime = timeMs;
  lastX = x;
  lastY = y;
  return isDouble;
}
