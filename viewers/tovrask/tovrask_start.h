#pragma once
// The start window of the per-recruit viewer.
#include "viewers/core/plot.h"

namespace tovrask {

class TovraskStart : public viewers::StartWindow {
  public:
    static viewers::StartConfig startConfig();
    TovraskStart();
};

} // namespace tovrask
