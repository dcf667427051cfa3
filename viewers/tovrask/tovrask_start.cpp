#include "viewers/tovrask/tovrask_start.h"

#include "viewers/sulbrin/sulbrin_start.h"
#include "viewers/tovrask/perrecruit_plot.h"

namespace tovrask {

viewers::StartConfig TovraskStart::startConfig() {
    return sulbrin::tableStartConfig("yro", " As a Function of  Realized F",
                                     " As a function of  FMULT", "Include SPR");
}

TovraskStart::TovraskStart() : viewers::StartWindow(startConfig()) {
    const auto draw = [this](PlotChoice choice) {
        choice.includeSpr = Chk()->value() == 1;
        loadandplot(viewers::plotfile, choice);
    };
    onOption(1, [draw] { draw(fmultChoice()); });
    onOption(2, [draw] { draw(realizedFChoice()); });
}

} // namespace tovrask
