// Writes the bundled example stock (snapper.bio, snapper.mgt, snapper.tez) into a folder.
#include "stock_files.h"

#include <filesystem>
#include <iostream>

using namespace tez::testing;

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
    // Two sexes, ages 0 to 15, four seasons, seven growth morphs.
    StockBiology bio = make_biology(15, 7, 2, 4);
    bio.species = "Snapper";
    // Spawning in the second season, the recruits entering in the same season: the biology
    // editor keeps this as it is (it moves a recruit season before the spawning season).
    bio.spawn_season = 2;
    bio.recruit_season = 2;
    bio.sr_slope = 6.0;
    bio.tez_recruitment = 250.0; // millions of fish
    // A line fishery by age, and a trawl fishery by length with a slot limit up to 85 cm and a
    // quarter of its released fish dying.
    std::vector<ManagementBlock> blocks = make_blocks(bio, 2018, 5, 2, 1);
    // The minimum size rises by 2 cm a year.
    for (std::size_t y = 0; y < blocks.size(); ++y) {
        blocks[y].fisheries[1].lower_limit = 36.0 + 2.0 * static_cast<double>(y);
        blocks[y].fisheries[1].upper_limit = 85.0;
    }
    RunDefinition def;
    def.bio = "snapper.bio";
    def.mgt = "snapper.mgt";
    def.report = "snapper.tzo";
    def.table = "snapper.tzb";
    def.pmo = "snapper.pmo";
    def.title = "Snapper equilibrium 2018-2021";
    def.years = {2018, 2019, 2020, 2021};
    write_text(folder / def.bio, biology_text(bio));
    write_text(folder / def.mgt, management_text(0.1, blocks));
    write_text(folder / "snapper.tez", definition_text(def));
    std::cout << "Example written to " << folder.string() << "\n";
    return 0;
}
