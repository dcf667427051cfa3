#pragma once
// What a plot says to assistive technology: a drawing window's surface is one element, named by
// the window's caption and described by the series drawn on it with their axes.
#include <string>

namespace plat {

class Form;

// "Recruitment against Year: Year from 2000 to 2030, Recruitment from 0 to 1.2."
std::string seriesDescription(const std::string& series, const std::string& xTitle, float xmin,
                              float xmax, const std::string& yTitle, float ymin, float ymax);

// Names the drawing surface of `form` by its caption and gives it `description`.
void describeDrawing(Form& form, const std::string& description);

} // namespace plat
