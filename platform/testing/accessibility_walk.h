#pragma once
// Walks a window as a screen reader does, through its accessible interfaces, and lists what such
// a reader could not make sense of.
#include <string>
#include <vector>

class QWidget;

namespace plat::testing {

// Every element of `window` (the window included) that takes focus or shows a value and whose
// accessible name is empty, carries a mnemonic's "&", or is shared with another element of the
// same kind in the window (labels, read out beside the boxes they name, are left out of that
// check). Hidden elements and separators are passed over; a hidden window is itself a problem. Each
// problem reads "<name or object name>: <what is wrong>".
std::vector<std::string> accessibilityProblems(QWidget* window);

} // namespace plat::testing
