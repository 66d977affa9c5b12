#pragma once

#include <cstdint>

// A key event as the host's editor key opcodes carry it: a character, a virtual key and
// modifier bits. The virtual key numbers are those of the host interface.
struct CKeyCode {
  int32_t character = 0;
  unsigned char virt = 0;
  unsigned char modifier = 0;
};

enum CVirtualKey : unsigned char {
  kVKeyNone = 0,
  kVKeyBack = 1,
  kVKeyTab = 2,
  kVKeyReturn = 4,
  kVKeyEscape = 6,
  kVKeySpace = 7,
  kVKeyEnd = 9,
  kVKeyHome = 10,
  kVKeyLeft = 11,
  kVKeyUp = 12,
  kVKeyRight = 13,
  kVKeyDown = 14,
  kVKeyPageUp = 15,
  kVKeyPageDown = 16,
  kVKeyEnter = 19,
  kVKeyDelete = 22,
};

enum CKeyModifier : unsigned char {
  kKeyModifierShift = 1 << 0,
  kKeyModifierAlternate = 1 << 1,
  kKeyModifierCommand = 1 << 2,
  kKeyModifierControl = 1 << 3,
};
