// Start-up and the main window, run through the program's own start-up with a scripted user.
#include "cw_fixture.h"

#include "control_window/model/maincode.h"
#include "control_window/windows/main/frmabout.h"
#include "control_window/windows/main/start.h"
#include "control_window/windows/scratch.h"
#include "platform/prompts.h"
#include "platform/testing/scripted_user.h"

#include <QAccessible>
#include <QAction>
#include <QByteArray>
#include <QCoreApplication>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtGlobal>

#include <string>
#include <vector>

namespace {

using cw::mc;
using cwtest::CwTest;
using plat::testing::ScriptedUser;

std::vector<std::string> unloaded;

// Stand-ins for editors: plain windows that note when they are unloaded.
class EditorA : public plat::Form {
  public:
    EditorA() : plat::Form("EditorA", "Editor A") {}
    void Form_Unload() override { unloaded.push_back(name()); }
};
class EditorB : public plat::Form {
  public:
    EditorB() : plat::Form("EditorB", "Editor B") {}
    void Form_Unload() override { unloaded.push_back(name()); }
};

class StartTest : public CwTest {
  protected:
    void SetUp() override {
        CwTest::SetUp();
        unloaded.clear();
    }
};

TEST_F(StartTest, MainWindowHasItsCaptionAndMenu) {
    ScriptedUser user;
    user.act([] {
        cw::start& s = plat::instance<cw::start>();
        EXPECT_TRUE(s.visible());
        EXPECT_EQ(s.caption(), "Vesk Control Window");
        const std::vector<std::pair<const plat::MenuItem*, const char*>> menu = {
            {&s.exitprog, "Exit  "},  {&s.fishery, "Fishery  "},
            {&s.indxmenu, "Index  "}, {&s.biodatmenu, "Bio data  "},
            {&s.yoymu, "YOY  "},      {&s.runmu, "VESK "},
            {&s.TEZ, "TEZ"},          {&s.WOX, "WOX"},
            {&s.help, "Help"},        {&s.Documentation, "Documentation"},
            {&s.About, "About"},
        };
        for (const auto& [item, caption] : menu) {
            EXPECT_EQ(item->caption(), caption);
            EXPECT_EQ(item->action()->objectName().toStdString(), item->name());
        }
        QCoreApplication::processEvents();
        auto* bar = static_cast<QMainWindow*>(s.widget())->menuBar();
        // The entries stand in this order, on the bar and in the Help drop-down alike.
        const auto names = [](const QList<QAction*>& actions) {
            std::vector<std::string> out;
            for (const QAction* entry : actions)
                out.push_back(entry->objectName().toStdString());
            return out;
        };
        EXPECT_EQ(names(bar->actions()),
                  (std::vector<std::string>{"exitprog", "fishery", "indxmenu", "biodatmenu",
                                            "yoymu", "runmu", "TEZ", "WOX", "help"}));
        ASSERT_NE(s.help.action()->menu(), nullptr);
        EXPECT_EQ(names(s.help.action()->menu()->actions()),
                  (std::vector<std::string>{"Documentation", "About"}));
        // At its default size the window shows every entry of the bar; none is left to the
        // bar's overflow button.
        QAccessibleInterface* entries = QAccessible::queryAccessibleInterface(bar);
        ASSERT_EQ(entries->childCount(), 9);
        for (int k = 0; k < 9; ++k) {
            const plat::MenuItem* item = menu[size_t(k)].first;
            SCOPED_TRACE(item->name());
            const QRect at = bar->actionGeometry(item->action());
            EXPECT_FALSE(at.isEmpty());
            EXPECT_LE(bar->mapTo(s.widget(), at.topRight()).x(), s.widget()->width() - 1);
            EXPECT_EQ(entries->child(k)->text(QAccessible::Description).toStdString(),
                      item->name());
        }
        if (auto* more = bar->findChild<QWidget*>("qt_menubar_ext_button")) {
            EXPECT_FALSE(more->isVisible());
        }
        s.exitprog.click();
    });
    EXPECT_EQ(cw::Main(), 0);
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(plat::loadedForms().empty());
    EXPECT_EQ(mc.startfile, "");
}

TEST_F(StartTest, InstallFolderComesFromTarvesk) {
    qputenv("tarvesk", QByteArray("/opt/engines"));
    {
        ScriptedUser user;
        user.act([] { plat::instance<cw::start>().exitprog.click(); });
        cw::Main();
    }
    EXPECT_EQ(mc.installdir, "/opt/engines/");
    qunsetenv("tarvesk");
    {
        ScriptedUser user;
        user.act([] { plat::instance<cw::start>().exitprog.click(); });
        cw::Main();
    }
    EXPECT_EQ(mc.installdir, cw::engineFolder(""));
}

TEST_F(StartTest, CommandLineOpensTheEditorOfTheLastThreeLetters) {
    const struct {
        const char* line;
        const char* startfile;
        cw::Editor editor;
    } cases[] = {
        {"\"C:\\Data Files\\Stock.BIO\"", "stock.bio", cw::Editor::Bio},
        {"a.wox", "a.wox", cw::Editor::Wox},
        {"mytez", "mytez", cw::Editor::Tez},
        {"/data/Plaice.RUN", "plaice.run", cw::Editor::Run},
        {"b.fst", "b.fst", cw::Editor::Fishery},
        {"c.ndf", "c.ndf", cw::Editor::Index},
        {"\"d.yoy\"", "d.yoy", cw::Editor::Yoy},
        {"a.xyz", "a.xyz", cw::Editor::None},
        {"io", "io", cw::Editor::None},
        {"  Stock.BIO ", "stock.bio", cw::Editor::Bio},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        cw::resetMaincode();
        plat::setCommandLine(std::string(c.line));
        std::vector<cw::Editor> asked;
        cw::editorShownHook = [&](cw::Editor e) { asked.push_back(e); };
        ScriptedUser user; // no prompt and no action: the program ends at once
        EXPECT_EQ(cw::Main(), 0);
        EXPECT_EQ(mc.startfile, c.startfile);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], c.editor);
        EXPECT_TRUE(plat::loadedForms().empty());
        EXPECT_TRUE(plat::endRequested());
    }
}

TEST_F(StartTest, CommandLineWaitsHiddenUntilTheEditorIsClosed) {
    plat::setCommandLine(std::string("stock.bio"));
    cw::editorShownHook = [](cw::Editor) { plat::instance<EditorA>().show(); };
    ScriptedUser user;
    user.act([] {
        // The main window is loaded, hidden, and does not count as shown.
        ASSERT_TRUE(plat::isLoaded<cw::start>());
        EXPECT_FALSE(plat::instance<cw::start>().visible());
        EXPECT_EQ(plat::shownCount(), 1);
        plat::instance<EditorB>().show(); // a window opened from the editor
        plat::instance<EditorA>().closeBox();
    });
    user.act([] {
        EXPECT_EQ(unloaded, std::vector<std::string>{"EditorA"});
        plat::instance<EditorB>().hide(); // hidden windows do not hold the program
    });
    EXPECT_EQ(cw::Main(), 0);
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(unloaded, (std::vector<std::string>{"EditorA", "EditorB"}));
    EXPECT_TRUE(plat::loadedForms().empty());
}

TEST_F(StartTest, ExitUnloadsEveryWindowLastLoadedFirst) {
    ScriptedUser user;
    user.act([] {
        plat::instance<cw::scratch>(); // loaded and hidden, like the text canvas
        plat::instance<EditorA>().show();
        plat::instance<EditorB>().show();
        plat::instance<cw::start>().exitprog.click();
        EXPECT_TRUE(plat::loadedForms().empty());
    });
    EXPECT_EQ(cw::Main(), 0);
    EXPECT_EQ(unloaded, (std::vector<std::string>{"EditorB", "EditorA"}));
}

TEST_F(StartTest, ClosingTheMainWindowLeavesEditorsOpen) {
    ScriptedUser user;
    user.act([] {
        plat::instance<EditorA>().show();
        plat::instance<cw::start>().closeBox();
    });
    user.act([] {
        EXPECT_FALSE(plat::isLoaded<cw::start>());
        EXPECT_TRUE(plat::instance<EditorA>().visible());
        plat::instance<EditorA>().closeBox();
    });
    EXPECT_EQ(cw::Main(), 0);
    EXPECT_TRUE(user.finished());
}

TEST_F(StartTest, DocumentationOnlyShowsItsMessage) {
    ScriptedUser user;
    user.act([] { plat::instance<cw::start>().Documentation.click(); });
    user.message("See file Veskguide.pdf");
    user.act([&] {
        EXPECT_EQ(plat::loadedForms().size(), 1u);
        plat::instance<cw::start>().exitprog.click();
    });
    cw::Main();
    EXPECT_TRUE(user.finished());
    ASSERT_EQ(user.seen().size(), 1u);
    EXPECT_FALSE(user.seen()[0].title.has_value());
}

TEST_F(StartTest, AboutShowsOneBoxUntilOkUnloadsIt) {
    ScriptedUser user;
    user.act([] {
        cw::start& s = plat::instance<cw::start>();
        s.About.click();
        cw::frmAbout& box = plat::instance<cw::frmAbout>();
        EXPECT_TRUE(box.visible());
        EXPECT_EQ(box.caption(), "About Vesk Control Window");
        EXPECT_EQ(box.lblTitle.caption(), "Vesk Control Window");
        EXPECT_EQ(box.lblVersion.caption(), "Version 3.0.0");
        EXPECT_EQ(box.cmdSysInfo.caption(), "&System Info...");
        for (const plat::Label* line : {&box.Line1, &box.Line1_1}) {
            EXPECT_EQ(line->name(), "Line1");
            const auto* frame = qobject_cast<const QFrame*>(line->widget());
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(frame->frameShape(), QFrame::HLine);
        }
        box.lblTitle.setCaption("marked");

        s.About.click(); // the same box, as it was left
        EXPECT_EQ(plat::instance<cw::frmAbout>().lblTitle.caption(), "marked");
        EXPECT_EQ(plat::loadedForms().size(), 2u);

        plat::instance<cw::frmAbout>().cmdOK.click();
        EXPECT_FALSE(plat::isLoaded<cw::frmAbout>());
        s.About.click(); // a fresh box
        EXPECT_EQ(plat::instance<cw::frmAbout>().lblTitle.caption(), "Vesk Control Window");
        s.exitprog.click();
    });
    cw::Main();
    EXPECT_TRUE(user.finished());
}

TEST_F(StartTest, IndexWaitEndsWhenNoWindowIsShownAndThenUnloadsTheEditor) {
    // No wait has stored a count yet: the wait still holds while the editor is shown.
    mc.nforms = 0;
    plat::instance<cw::start>().show();
    ScriptedUser user;
    user.act([] {
        EXPECT_TRUE(plat::instance<EditorA>().visible());
        plat::instance<cw::start>().closeBox();
    });
    user.act([] {
        EXPECT_TRUE(unloaded.empty());
        plat::instance<EditorA>().hide();
    });
    cw::showAndWaitThenUnload<EditorA>();
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(unloaded, std::vector<std::string>{"EditorA"});
    EXPECT_FALSE(plat::isLoaded<EditorA>());
    EXPECT_EQ(mc.nforms, 0);
}

} // namespace
