// The main of every windowed test program: a headless application with the same dpi and fonts on
// every machine, no prompt that could wait for a person, and no Qt warning that a test did not
// declare (platform/testing/qt_warnings.h). The locale is the environment's, as in the programs
// themselves, so that a test run under a decimal-comma locale sees what a user there sees.
#include "platform/form.h"
#include "platform/process.h"
#include "platform/prompts.h"
#include "platform/system.h"
#include "platform/testing/qt_warnings.h"
#include "platform/testing/scripted_user.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// After each test: every window unloaded and destroyed, nobody at the prompts, no leftovers.
class CleanSlate : public ::testing::EmptyTestEventListener {
  public:
    explicit CleanSlate(plat::PromptService* nobody) : nobody_(nobody) {}
    void OnTestStart(const ::testing::TestInfo&) override { reset(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        plat::unloadAll();
        plat::destroyUnloaded();
        reset();
    }

  private:
    void reset() {
        plat::setPromptService(nobody_);
        plat::resetEndRequest();
        plat::setScreenWidthTwipsForTesting(0);
        plat::setRegistry(nullptr);
    }
    plat::PromptService* nobody_;
};

QtMessageHandler standardMessages = nullptr;

// The offscreen platform announces every window feature it lacks, and Qt run by root without a
// runtime folder says so (scripts/test gives one): noise of the machine, not of the programs. Any
// other warning fails the test that gave it, unless the test declared it; outside a test it is
// printed.
void checkedMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("This plugin does not support")) return;
    if (message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
    const bool warning = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    if (warning && plat::testing::expectedQtWarning(message)) return;
    if (warning && ::testing::UnitTest::GetInstance()->current_test_info())
        ADD_FAILURE() << "Qt warned: " << message.toStdString();
    if (standardMessages) standardMessages(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");

    QApplication app(argc, argv);
    standardMessages = qInstallMessageHandler(checkedMessages);
    QApplication::setQuitOnLastWindowClosed(false);
#ifdef VESK_COMMA_LOCALE
    // A run meant for the decimal-comma locale proves nothing when that locale is missing.
    if (qgetenv("LC_ALL") == VESK_COMMA_LOCALE &&
        std::string(std::localeconv()->decimal_point) != ",") {
        std::fprintf(stderr, "The locale %s is not installed (scripts/setup makes it).\n",
                     VESK_COMMA_LOCALE);
        return 1;
    }
#endif

    ::testing::InitGoogleTest(&argc, argv);
#ifdef VESK_CONSOLE_PROGRAM
    plat::setConsoleProgramForTesting(VESK_CONSOLE_PROGRAM);
#endif
    // Consoles of the programs that tests start keep their text in this folder, where a test reads
    // it, and close by themselves once their program has ended.
    QTemporaryDir transcripts;
    if (qEnvironmentVariableIsEmpty("VESK_CONSOLE_TRANSCRIPTS"))
        qputenv("VESK_CONSOLE_TRANSCRIPTS", transcripts.path().toLocal8Bit());
    plat::setDestroyInWaits(false);
    plat::setHandlerErrorReporter(
        [](const std::string& what) { ADD_FAILURE() << "a window handler threw: " << what; });
    static plat::testing::NobodyHome nobody;
    ::testing::UnitTest::GetInstance()->listeners().Append(new CleanSlate(&nobody));

    const int rc = RUN_ALL_TESTS();
    plat::unloadAll();
    plat::destroyUnloaded();
    plat::setPromptService(nullptr);
    return rc;
}
