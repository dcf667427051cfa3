#include "viewers/sulbrin/sulbrin_start.h"

#include "viewers/sulbrin/production_plot.h"

namespace sulbrin {

viewers::StartConfig tableStartConfig(const std::string& ending, std::string option2,
                                      std::string option1, std::string checkCaption) {
    viewers::StartConfig c;
    c.caption = "Ostrel";
    c.options = {{"Option2", std::move(option2)}, {"Option1", std::move(option1)}};
    c.checkCaption = std::move(checkCaption);
    c.ending = ending;
    c.dialogTitle = "Load Output";
    c.dialogFilter = "Output Files (*." + ending + ")|*." + ending;
    c.captionFollowsFile = true;
    c.clearAllOptions = true;
    return c;
}

viewers::StartConfig SulbrinStart::startConfig() {
    return tableStartConfig("pmo", " As a Function of  Biomass", " As a function of  Fishing",
                            "Print %ile at TEZ");
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
