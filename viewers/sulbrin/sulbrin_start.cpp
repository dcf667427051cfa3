#include "viewers/sulbrin/sulbrin_start.h"

#include "viewers/sulbrin/production_plot.h"

namespace sulbrin {

viewers::StartConfig SulbrinStart::startConfig() {
    viewers::StartConfig c;
    c.caption = "Ostrel";
    c.options = {{"Option2", " As a Function of  Biomass"},
                 {"Option1", " As a function of  Fishing"}};
    c.checkCaption = "Print %ile at TEZ";
    c.ending = "pmo";
    c.dialogTitle = "Load Output";
    c.dialogFilter = "Output Files (*.pmo)|*.pmo";
    c.captionFollowsFile = true;
    c.clearAllOptions = true;
    return c;
}

SulbrinStart::SulbrinStart() : viewers::StartWindow(startConfig()) {
    // The check box is read when the option draws, so a change shows at the next click.
    const auto draw = [this](PlotChoice choice) {
        choice.printPercentile = Chk()->value() == 1;
        loadandplot(viewers::plotfile, choice);
    };
    onOption(1, [draw] { draw(fishingChoice()); });
    onOption(2, [draw] { draw(biomassChoice()); });
}

} // namespace sulbrin
