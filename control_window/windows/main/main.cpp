// Vesk Control Window: the editor of every definition file and the starter of the engines.
#include "control_window/windows/main/start.h"
#include "platform/system.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    plat::setCommandLine(argc, argv);
    return cw::Main();
}
