#pragma once
// The start window of the simulation-log viewer.
#include "viewers/core/plot.h"

namespace marvent {

class start : public viewers::StartWindow {
  public:
    start();
    static viewers::StartConfig startConfig();
};

} // namespace marvent
