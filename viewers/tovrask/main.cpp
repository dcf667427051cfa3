// Tovrask: plots a yield-per-recruit table (*.yro).
#include "viewers/core/plot.h"
#include "viewers/tovrask/tovrask_start.h"

int main(int argc, char** argv) {
    return viewers::runViewer<tovrask::TovraskStart>(argc, argv, "Tovrask");
}
