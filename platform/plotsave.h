#pragma once
// The question that every plot window puts before it saves its picture as a bitmap.
#include <string>

namespace plat {

// Asks for a bitmap name in the "Save Plot" dialog, opened in the current folder. The name
// exactly as chosen, or the empty text when the user cancelled. The current folder stays as it
// was, so bare names of the data files still resolve where they did.
std::string askPlotBitmapName();

} // namespace plat
