#pragma once
// The off-screen canvas of the rotated-text routine: never shown, and once loaded it stays
// loaded, hidden, until the program unloads every window at its end.
#include "platform/form.h"

namespace cw {

class scratch : public plat::Form {
  public:
    scratch() : plat::Form("scratch", "scratch", Kind::Drawing) {}
};

} // namespace cw
