#pragma once
// The start window of the production-table viewer.
#include "viewers/core/plot.h"

namespace sulbrin {

class SulbrinStart : public viewers::StartWindow {
  public:
    static viewers::StartConfig startConfig();
    SulbrinStart();
};

} // namespace sulbrin
