#pragma once
// The offscreen application that the targets of the windowed programs read and draw with.
#include <QApplication>

#include <clocale>
#include <cstdlib>

namespace fuzz {

inline void startOffscreenApplication() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vesk-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    // Qt takes the locale from the environment; the files' numbers keep the C form.
    std::setlocale(LC_ALL, "C");
}

} // namespace fuzz
