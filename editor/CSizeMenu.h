#pragma once

#include "gui/COptionMenu.h"

#include <optional>

// The window's "Size" menu, opened by a right-click on the panel background: 100%, 150%, 200%,
// or Automatic, which leaves the size to the desktop. The view itself has no area and draws
// nothing; only its list is seen. Choosing a size is no parameter gesture, so the host hears
// nothing of it.
class CSizeMenu : public COptionMenu {
 public:
  CSizeMenu(CControlListener* listener, int32_t tag);

  // Opens the list with its corner at a point of the frame; false when it could not open.
  bool openAt(const CPoint& where);
  // Marks the user's stored choice; none is "Automatic".
  void showChoice(std::optional<double> factor);
  // The factor the current entry stands for; none is "Automatic".
  std::optional<double> getChoice() const;

  void beginEdit() override {}
  void endEdit() override {}
};
