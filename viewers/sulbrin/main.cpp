// Sulbrin: plots an equilibrium production table (*.pmo).
#include "viewers/core/plot.h"
#include "viewers/sulbrin/sulbrin_start.h"

int main(int argc, char** argv) {
    return viewers::runViewer<sulbrin::SulbrinStart>(argc, argv, "Sulbrin");
}
