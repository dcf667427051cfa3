#pragma once
// The start window of the production-table viewer.
#include "viewers/core/plot.h"

namespace sulbrin {

// The start window of a viewer of an engine's result table, shared with the per-recruit viewer:
// caption "Ostrel", the options Option2 and Option1 (in that order) that clear each other, the
// check box, and the dialog "Load Output" for files of the ending; the caption follows the file.
viewers::StartConfig tableStartConfig(const std::string& ending, std::string option2,
                                      std::string option1, std::string checkCaption);

class SulbrinStart : public viewers::StartWindow {
  public:
    static viewers::StartConfig startConfig();
    SulbrinStart();
};

} // namespace sulbrin
