// vesk-console: runs one program in a console window of its own (see platform/console.h). The
// control window starts it, detached, for every engine it launches, so that the engine and its
// window outlive the control window.
//
//   vesk-console [--started FILE] [--] PROGRAM [ARGUMENT...]
//
// The program runs in the console's current folder. With --started the console writes the
// program's process id (or "error" and the reason) to FILE once it has tried to start it, so that
// the launcher learns the id of the program rather than that of its window.
//
// When the environment variable VESK_CONSOLE_TRANSCRIPTS names a folder, the window's text is
// kept in that folder as PID.txt (PID being the program's id) whenever it changes, and the window
// closes itself once the program has ended: that is how the tests read a detached console.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>

#include "platform/console.h"
#include "platform/prompts.h"
#include "platform/savefile.h"

namespace {

void writeWhole(const QString& path, const QByteArray& bytes) {
    // Written beside and renamed into place, so that a reader never finds half of it; one that
    // cannot be written whole leaves the earlier one and is said on the error stream.
    std::string error;
    if (!plat::writeFileWhole(path.toStdString(),
                              std::string_view(bytes.constData(), std::size_t(bytes.size())),
                              error))
        std::fprintf(stderr, "vesk-console: could not write %s: %s\n", qPrintable(path),
                     error.c_str());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString started;
    while (!args.isEmpty() && args.front().startsWith("--")) {
        const QString option = args.takeFirst();
        if (option == "--") break;
        if (option == "--started" && !args.isEmpty()) {
            started = args.takeFirst();
        } else {
            std::fprintf(stderr, "vesk-console: unknown option %s\n", qPrintable(option));
            return 2;
        }
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: vesk-console [--started FILE] [--] PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const QString program = args.takeFirst();
    plat::setApplicationTitle(
        QDir::toNativeSeparators(program).section(QDir::separator(), -1).toStdString());

    plat::ConsoleWindow window(program, args);
    const QString transcripts = qEnvironmentVariable("VESK_CONSOLE_TRANSCRIPTS");
    auto keep = [&] {
        if (!transcripts.isEmpty() && window.programId() > 0)
            writeWhole(QDir(transcripts).filePath(QString::number(window.programId()) + ".txt"),
                       window.text().toUtf8());
    };
    QObject::connect(&window, &plat::ConsoleWindow::textChanged, &window, keep);
    if (!transcripts.isEmpty())
        QObject::connect(&window, &plat::ConsoleWindow::programEnded, &app, [&] {
            keep();
            app.quit();
        });

    const bool ok = window.start();
    if (!started.isEmpty())
        writeWhole(started, ok ? QByteArray::number(window.programId()) + "\n"
                               : "error " + window.startError().toUtf8() + "\n");
    keep();
    if (!ok && !transcripts.isEmpty()) return 1;
    return app.exec();
}
