#include "gui/x11/X11Input.h"

#include <gtest/gtest.h>

TEST(X11Input, KeysymsBecomeCharactersOrEditingKeys) {
  const struct {
    uint32_t sym;
    uint16_t state;
    int32_t character;
    unsigned char virt;
    unsigned char modifier;
    bool ok;
  } table[] = {
      {'a', 0, 'a', 0, 0, true},
      {'a', 1 << 1, 'A', 0, 0, true},                  // Caps Lock
      {'A', 1 << 0, 'A', 0, kKeyModifierShift, true},  // shifted keysym comes from the keymap
      {0xe9, 0, 0xe9, 0, 0, true},                     // e acute (Latin-1)
      {' ', 0, ' ', 0, 0, true},
      {0xff0d, 0, 0, kVKeyReturn, 0, true},
      {0xff8d, 0, 0, kVKeyEnter, 0, true},
      {0xff1b, 0, 0, kVKeyEscape, 0, true},
      {0xff08, 1 << 2, 0, kVKeyBack, kKeyModifierControl, true},
      {0xffff, 0, 0, kVKeyDelete, 0, true},
      {0xff51, 1 << 3, 0, kVKeyLeft, kKeyModifierAlternate, true},
      {0x20ac, 0, 0, 0, 0, false},  // euro sign: not Latin-1
      {0xffe1, 0, 0, 0, 0, false},  // Shift key itself
  };
  for (const auto& row : table) {
    CKeyCode key;
    EXPECT_EQ(keyCodeFromKeysym(row.sym, row.state, key), row.ok) << std::hex << row.sym;
    if (!row.ok) continue;
    EXPECT_EQ(key.character, row.character) << std::hex << row.sym;
    EXPECT_EQ(key.virt, row.virt) << std::hex << row.sym;
    EXPECT_EQ(key.modifier, row.modifier) << std::hex << row.sym;
  }
}

TEST(X11Input, ButtonsAndModifiers) {
  EXPECT_EQ(modifiersFromXState(1 | 4 | 8), kShift | kControl | kAlt);
  EXPECT_EQ(modifiersFromXState(0x80), kAlt) << "AltGr (Mod5)";
  EXPECT_EQ(modifiersFromXState(2 | 0x10 | 0x40), 0)
      << "Caps Lock, Num Lock and Super are no modifiers here";
  EXPECT_EQ(buttonsFromXState(0x100 | 0x400), kLButton | kRButton);
  EXPECT_EQ(buttonsFromXState(0x200), kMButton);
  EXPECT_EQ(buttonFromXButton(1), kLButton);
  EXPECT_EQ(buttonFromXButton(2), kMButton);
  EXPECT_EQ(buttonFromXButton(3), kRButton);
  EXPECT_EQ(buttonFromXButton(4), 0) << "the wheel is not a button";
}

TEST(X11Input, DoubleClickNeedsTheSameButtonSoonAndNearby) {
  const struct {
    uint8_t button;
    uint32_t time;
    int x, y;
    bool expected;
  } sequence[] = {
      {1, 1000, 10, 10, false},
      {1, 1250, 15, 5, true},   // 250 ms and 5 px: still a double click
      {1, 1300, 15, 5, false},  // a third press starts over
      {1, 1551, 15, 5, false},  // 251 ms later: too slow
      {3, 1600, 15, 5, false},  // another button
      {1, 1700, 15, 5, false},
      {1, 1800, 21, 5, false},  // 6 px away
      {1, 0xfffffff0u, 0, 0, false},
      {1, 0x00000050u, 0, 0, true},  // across the server clock's wrap
  };
  DoubleClickDetector detector;
  for (const auto& press : sequence)
    EXPECT_EQ(detector.press(press.button, press.time, press.x, press.y), press.expected)
        << press.time;
}
