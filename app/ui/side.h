// The two sides of a transformation, as the window code addresses them.
#pragma once

#include "program_state.h"

enum class Side { kStart, kTarget };

inline constexpr Side kBothSides[] = {Side::kStart, Side::kTarget};

inline CrsSide& CrsSideOf(Side side) {
  return side == Side::kStart ? startSide : targetSide;
}

// The word that names the side in texts shown to the user.
inline const char* SideName(Side side) {
  return side == Side::kStart ? "Start" : "Target";
}
