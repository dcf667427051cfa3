#include "platform/form.h"
#include "platform/prompts.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <ctime>

namespace {

using plat::MsgAnswer;
using plat::MsgButtons;
using plat::testing::ScriptedUser;

// An editor whose button asks the user things and waits for a graph window.
class Graph : public plat::Form {
  public:
    Graph() : plat::Form("frmPlot", "Graph", Kind::Drawing) {}
    void Form_MouseUp(int button, int, float, float) override {
        if (button > 1) unload();
    }
    void Form_MouseDown(int, int, float, float y) override { dragged = y; }
    float dragged = 0;
};

class Editor : public plat::Form {
  public:
    Editor() : plat::Form("DefineBio", "Biology") {
        edit.onClick = [this] {
            if (plat::msgBox("Set to Mean", MsgButtons::YesNoCancel) == MsgAnswer::Cancel) return;
            const std::string top = plat::inputBox("Scale of Y for input");
            if (top.empty()) return;
            Graph& g = plat::instance<Graph>();
            g.show();
            while (plat::isLoaded<Graph>() && g.visible())
                plat::doEvents();
            result = top + ":" + std::to_string(int(g.dragged));
        };
    }
    plat::CommandButton edit{*this, "editm", "Edit"};
    std::string result;
};

TEST(ScriptedUser, AnswersPromptsAndActsInsideTheWaitLoop) {
    ScriptedUser user;
    user.message("Set to Mean", MsgAnswer::No)
        .input("Scale of Y for input", "2")
        .act([] { plat::instance<Graph>().mouseDown(1, 0, 1.5f); })
        .act([] { plat::instance<Graph>().mouseUp(2, 0, 0); });
    Editor& e = plat::instance<Editor>();
    e.edit.click();
    EXPECT_EQ(e.result, "2:1");
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(plat::isLoaded<Graph>());
    ASSERT_EQ(user.seen().size(), 2u);
    EXPECT_FALSE(user.seen()[0].title.has_value()); // the application's default title
}

TEST(ScriptedUser, ExhaustedScriptEndsTheWaitAndFails) {
    Editor& e = plat::instance<Editor>();
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUser user;
            user.message("Set to Mean", MsgAnswer::Yes).input("Scale of Y for input", "3");
            e.edit.click(); // the graph window waits for a user who has nothing left to do
            EXPECT_TRUE(user.stuck());
        },
        "nothing left to wait for");
    EXPECT_EQ(e.result, "3:0");
    EXPECT_EQ(plat::shownCount(), 0);
}

TEST(ScriptedUser, WrongTextAndUnusedStepsAreFailures) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUser user;
            user.message("Are you sure", MsgAnswer::Yes);
            EXPECT_EQ(plat::msgBox("Years are out of range", MsgButtons::YesNo), MsgAnswer::No);
        },
        "the script expects \"Are you sure\"");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUser user;
            user.input("Scale of Y for input", "1");
        },
        "never taken");
    EXPECT_NONFATAL_FAILURE(plat::msgBox("No input data were loaded"), "no scripted user");
}

TEST(ScriptedUser, FileDialogAnswerMovesTheCurrentFolder) {
    QTemporaryDir tmp;
    const std::string before = plat::currentFolder();
    const std::string chosen = QDir(tmp.path()).filePath("stock.bio").toStdString();
    {
        ScriptedUser user;
        user.fileDialog("Load biological data", chosen).fileDialog("Save biological data", "");
        plat::FileDialogRequest r;
        r.title = "Load biological data";
        r.filter = "BioDat input file (*.bio)|*.bio";
        r.initialDir = before;
        EXPECT_EQ(plat::fileDialog(r), chosen);
        EXPECT_EQ(QDir(QString::fromStdString(plat::currentFolder())).canonicalPath(),
                  QDir(tmp.path()).canonicalPath());
        r.kind = plat::FileDialogKind::Save;
        r.title = "Save biological data";
        EXPECT_EQ(plat::fileDialog(r), ""); // cancelled: the folder stays
        ASSERT_EQ(user.seen().size(), 2u);
        EXPECT_EQ(user.seen()[0].dialog.filter, "BioDat input file (*.bio)|*.bio");
    }
    plat::setCurrentFolder(before);
}

// The real service: a message box answered by a timer, as a person would.
TEST(RealPrompts, MessageBoxTitleAndAnswer) {
    plat::setPromptService(nullptr);
    plat::setApplicationTitle("Vesk Control Window");
    QString title;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(plat::msgBox("Are you sure", MsgButtons::YesNoCancel), MsgAnswer::Yes);
    EXPECT_EQ(title, "Vesk Control Window");
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    plat::msgBox("No output data were saved", MsgButtons::OK, std::string());
    // An empty title would make the window system show the program's name in its place.
    EXPECT_EQ(title, " ");
}

// The real file dialog shows the filter as description with pattern and asks nothing of its own
// when an existing file is chosen for saving.
TEST(RealPrompts, FileDialogFilterAndNoOverwriteQuestion) {
    plat::setPromptService(nullptr);
    QTemporaryDir tmp;
    const QString existing = QDir(tmp.path()).filePath("stock.bio");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->selectFile(existing);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    plat::FileDialogRequest r;
    r.kind = plat::FileDialogKind::Save;
    r.title = "Save biological data";
    r.filter = "BioDat input file (*.bio)|*.bio";
    r.initialDir = tmp.path().toStdString();
    EXPECT_EQ(QFileInfo(QString::fromStdString(plat::prompts().fileDialog(r))).canonicalFilePath(),
              QFileInfo(existing).canonicalFilePath());
    EXPECT_EQ(filters, QStringList{"BioDat input file (*.bio)"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// With the real service a wait loop sleeps until the next event instead of spinning.
TEST(RealPrompts, WaitLoopSleeps) {
    plat::setPromptService(nullptr);
    Editor& e = plat::instance<Editor>();
    e.show();
    QTimer::singleShot(600, [&] { e.hide(); });
    const auto wall0 = std::chrono::steady_clock::now();
    const std::clock_t cpu0 = std::clock();
    int loops = 0;
    while (plat::doEvents() > 0)
        ++loops;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    EXPECT_GE(wall, 0.5);
    EXPECT_LT(cpu, 0.3 * wall) << loops << " loops";
}

} // namespace
