#include "viewers/tovrask/tovrask_start.h"

#include "viewers/tovrask/perrecruit_plot.h"

namespace tovrask {

viewers::StartConfig TovraskStart::startConfig() {
    viewers::StartConfig c;
    c.caption = "Ostrel";
    c.options = {{"Option2", " As a Function of  Realized F"},
                 {"Option1", " As a function of  FMULT"}};
    c.checkCaption = "Include SPR";
    c.ending = "yro";
    c.dialogTitle = "Load Output";
    c.dialogFilter = "Output Files (*.yro)|*.yro";
    c.captionFollowsFile = true;
    c.clearAllOptions = true;
    return c;
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
