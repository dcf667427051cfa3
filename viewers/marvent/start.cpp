// The options of the simulation-log viewer.
#include "viewers/marvent/start.h"

#include "viewers/marvent/logplot.h"

namespace marvent {

viewers::StartConfig start::startConfig() {
    viewers::StartConfig c;
    c.caption = "Plots";
    c.options = {{"Option9", "Mean length and weight"},
                 {"Option8", "Mean age"},
                 {"Option7", "Mean length"},
                 {"Option6", "Fishing mortality"},
                 {"Option5", "Yield"},
                 {"Option4", "Stock Biomass"},
                 {"Option3", "Spawning biomass"},
                 {"Option2", "SPR"},
                 {"Option1", "Recruitment"}};
    c.ending = "log";
    c.dialogTitle = "Load Simulation Output";
    c.dialogFilter = "Output Files (*.log)|*.log";
    return c;
}

start::start() : viewers::StartWindow(startConfig()) {
    onOption(1, [] { plotOption({{1, "Recruitment / Max   "}}); });
    onOption(2, [] { plotOption({{2, "SPR          "}}); });
    onOption(3, [] { plotOption({{3, "Spawning Biomass / Max"}}); });
    onOption(4, [] { plotOption({{4, "Stock Biomass / Max"}}); });
    onOption(5, [] { plotOption({{5, "Yield / Max    "}}); });
    onOption(6, [] { plotOption({{6, "F / Max"}}); });
    onOption(7, [] { plotOption({{7, "Mean Length / Max"}}); });
    onOption(8, [] { plotOption({{8, "Mean Length / Max"}, {9, "Mean Age / Max"}}); });
    onOption(9, [] { plotOption({{8, "Mean Length / Max"}, {10, "Mean Weight / Max"}}); });
}

} // namespace marvent
