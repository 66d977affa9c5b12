#include "editor/CSizeMenu.h"

#include "editor/UiScaleSelector.h"

namespace {

// The title row first, then one row per offered factor, then "Automatic".
constexpr int32_t kFirstFactorEntry = 1;
constexpr int32_t kAutomaticEntry = kFirstFactorEntry + UiScaleSelector::kFactors.size();
constexpr const char* kFactorTitles[] = {"100%", "150%", "200%"};
static_assert(std::size(kFactorTitles) == UiScaleSelector::kFactors.size());

}  // namespace

CSizeMenu::CSizeMenu(CControlListener* l, int32_t t)
    : COptionMenu(CRect(0, 0, 0, 0), l, t, nullptr, nullptr, kNoDrawStyle | kCheckStyle) {
  addEntry("Size:", -1, CMenuItem::kTitle | CMenuItem::kDisabled);
  for (const char* title : kFactorTitles) addEntry(title);
  addEntry("Automatic");
  setCurrent(kAutomaticEntry);
}

bool CSizeMenu::openAt(const CPoint& where) {
  // The list opens below the view's rectangle, so the rectangle becomes the pointer's spot.
  const CRect spot(where.x, where.y, where.x, where.y);
  setViewSize(spot, false);
  CPoint local(where);
  return onMouseDown(local, CButtonState(kRButton)) == kMouseEventHandled;
}

void CSizeMenu::showChoice(std::optional<double> factor) {
  int32_t entry = kAutomaticEntry;
  for (size_t i = 0; factor && i < UiScaleSelector::kFactors.size(); ++i)
    if (UiScaleSelector::kFactors[i] == *factor)
      entry = kFirstFactorEntry + static_cast<int32_t>(i);
  setCurrent(entry);
}

std::optional<double> CSizeMenu::getChoice() const {
  const int32_t factor = getCurrentIndex() - kFirstFactorEntry;
  if (factor < 0 || factor >= static_cast<int32_t>(UiScaleSelector::kFactors.size()))
    return std::nullopt;
  return UiScaleSelector::kFactors[static_cast<size_t>(factor)];
}
