// Marvent: plots a simulation output log.
#include "viewers/marvent/start.h"

int main(int argc, char** argv) {
    return viewers::runViewer<marvent::start>(argc, argv, "Marvent");
}
