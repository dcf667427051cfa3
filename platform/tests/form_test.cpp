#include "platform/form.h"
#include "platform/surface.h"
#include "platform/testing/scripted_user.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

#include <string>
#include <vector>

namespace {

using namespace plat;

// A window with one control of each kind; every handler writes to a log.
class Editor : public Form {
  public:
    Editor() : Form("Editor", "Editor") {
        nages.onChange = [this] { log.push_back("nages:" + nages.text()); };
        opt1.onClick = [this] { log.push_back("opt1:" + std::to_string(opt1.value())); };
        opt2.onClick = [this] { log.push_back("opt2:" + std::to_string(opt2.value())); };
        chk.onClick = [this] { log.push_back("chk:" + std::to_string(chk.value())); };
        bar.onChange = [this] { log.push_back("bar:" + std::to_string(bar.value())); };
        save.onClick = [this] { log.push_back("save"); };
        menu.onClick = [this] { log.push_back("menu"); };
        sub.onClick = [this] { log.push_back("sub"); };
    }
    void Form_Load() override {
        ++loads;
        log.push_back("load");
    }
    void Form_Unload() override { ++*unloads; }

    TextBox nages{*this, "nages", "Number of ages", "10"};
    OptionButton opt1{*this, "opt1", "One"};
    OptionButton opt2{*this, "opt2", "Two"};
    CheckBox chk{*this, "chk", "Check"};
    HScrollBar bar{*this, "bar"};
    CommandButton save{*this, "SaveBio", "Save"};
    MenuItem menu{*this, "menu", "Menu  "};
    MenuItem sub{menu, "sub", "Sub"};
    std::vector<std::string> log;
    int loads = 0;
    static inline int unloadCount = 0;
    int* unloads = &unloadCount;
};

std::vector<std::string> unloadLog;

class Other : public Form {
  public:
    Other() : Form("Other", "Other") {}
    void Form_Unload() override { unloadLog.push_back("Other"); }
};

// A window whose unloading takes another one with it, as an editor closing its sub-window.
class Third : public Form {
  public:
    Third() : Form("Third", "Third") {}
    void Form_Unload() override {
        unloadLog.push_back("Third");
        if (plat::isLoaded<Other>()) instance<Other>().unload();
    }
};

TEST(Forms, FirstUseLoadsAndUnloadGivesAFreshInstanceAtDesignValues) {
    EXPECT_FALSE(isLoaded<Editor>());
    Editor& a = instance<Editor>();
    EXPECT_TRUE(isLoaded<Editor>());
    EXPECT_EQ(a.loads, 1);
    EXPECT_EQ(&instance<Editor>(), &a);
    EXPECT_EQ(a.nages.text(), "10");
    a.nages.setText("12");
    Editor::unloadCount = 0;
    a.unload();
    EXPECT_EQ(Editor::unloadCount, 1);
    EXPECT_FALSE(isLoaded<Editor>());
    Editor& b = instance<Editor>();
    EXPECT_NE(&a, &b);
    EXPECT_EQ(b.nages.text(), "10");
    EXPECT_EQ(b.log, std::vector<std::string>{"load"});
}

TEST(Forms, LoadOrderShownCountAndUnloadAllLastFirst) {
    instance<Other>();
    instance<Editor>();
    ASSERT_EQ(loadedForms().size(), 2u);
    EXPECT_EQ(loadedForms()[0]->name(), "Other");
    EXPECT_EQ(shownCount(), 0);
    instance<Editor>().show();
    EXPECT_EQ(shownCount(), 1);
    EXPECT_EQ(doEvents(), 1);
    instance<Editor>().hide();
    EXPECT_EQ(doEvents(), 0);
    unloadAll();
    EXPECT_TRUE(loadedForms().empty());

    // Last loaded first, looking at the list afresh after each unloading.
    unloadLog.clear();
    instance<Other>();
    instance<Third>();
    instance<Editor>();
    instance<Third>().show();
    EXPECT_EQ(doEvents(), 1);
    unloadAll();
    EXPECT_EQ(unloadLog, (std::vector<std::string>{"Third", "Other"}));
    EXPECT_TRUE(loadedForms().empty());
    EXPECT_EQ(doEvents(), 0);
}

TEST(Forms, CloseBoxUnloads) {
    Editor& e = instance<Editor>();
    e.show();
    e.widget()->close();
    EXPECT_FALSE(isLoaded<Editor>());
    EXPECT_FALSE(e.visible()); // the object lives on until no handler runs
    instance<Other>().show();
    instance<Other>().closeBox();
    EXPECT_FALSE(isLoaded<Other>());
}

TEST(Forms, ControlsCarryTheirNamesForAccessibility) {
    Editor& e = instance<Editor>();
    EXPECT_EQ(e.save.widget()->objectName().toStdString(), "SaveBio");
    EXPECT_EQ(e.save.widget()->accessibleDescription().toStdString(), "SaveBio");
    EXPECT_EQ(e.save.widget()->accessibleName().toStdString(), "Save");
    EXPECT_EQ(e.nages.widget()->accessibleName().toStdString(), "Number of ages");
    EXPECT_EQ(e.menu.caption(), "Menu  ");
}

// What a screen reader or an automation tool sees and does through Qt's accessibility interface.
// An action returns before the button's handler runs (it may show a message); the handler runs
// next, as the user's click.
TEST(Forms, OptionButtonIsARadioButtonWhoseActionsAreAClick) {
    for (const QString& action :
         {QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::toggleAction()}) {
        SCOPED_TRACE(action.toStdString());
        Editor& e = instance<Editor>();
        QAccessibleInterface* opt1 = QAccessible::queryAccessibleInterface(e.opt1.widget());
        ASSERT_NE(opt1, nullptr);
        EXPECT_EQ(opt1->role(), QAccessible::RadioButton);
        EXPECT_EQ(opt1->text(QAccessible::Name).toStdString(), "One");
        EXPECT_EQ(opt1->text(QAccessible::Description).toStdString(), "opt1");
        ASSERT_NE(opt1->actionInterface(), nullptr);
        EXPECT_TRUE(opt1->actionInterface()->actionNames().contains(action));
        e.log.clear();
        const auto act = [&](QAccessibleInterface* iface) {
            iface->actionInterface()->doAction(action);
            QCoreApplication::processEvents();
        };
        opt1->actionInterface()->doAction(action);
        EXPECT_EQ(e.log, std::vector<std::string>{});
        QCoreApplication::processEvents();
        EXPECT_TRUE(e.opt1.value());
        EXPECT_TRUE(opt1->state().checked);
        // As with a click, the selected button does nothing the second time, and the handler
        // that clears it makes it usable again.
        act(opt1);
        e.opt1.setValue(false);
        act(opt1);
        EXPECT_EQ(e.log, (std::vector<std::string>{"opt1:1", "opt1:1"}));
        QAccessibleInterface* opt2 = QAccessible::queryAccessibleInterface(e.opt2.widget());
        act(opt2);
        EXPECT_FALSE(e.opt1.value());
        EXPECT_EQ(e.log.back(), "opt2:1");
        e.unload();
    }
}

TEST(Forms, CheckBoxActionsAreAClickThatReturnsAtOnce) {
    for (const QString& action :
         {QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::toggleAction()}) {
        SCOPED_TRACE(action.toStdString());
        Editor& e = instance<Editor>();
        QAccessibleInterface* chk = QAccessible::queryAccessibleInterface(e.chk.widget());
        ASSERT_NE(chk, nullptr);
        EXPECT_EQ(chk->role(), QAccessible::CheckBox);
        EXPECT_EQ(chk->text(QAccessible::Name).toStdString(), "Check");
        EXPECT_EQ(chk->text(QAccessible::Description).toStdString(), "chk");
        e.log.clear();
        chk->actionInterface()->doAction(action);
        EXPECT_EQ(e.log, std::vector<std::string>{});
        QCoreApplication::processEvents();
        EXPECT_EQ(e.log, std::vector<std::string>{"chk:1"});
        EXPECT_TRUE(chk->state().checked);
        chk->actionInterface()->doAction(action);
        QCoreApplication::processEvents();
        EXPECT_EQ(e.log.back(), "chk:0");
        e.unload();
    }
}

TEST(Forms, MenuEntriesCarryTheirNameAsDescriptionAndFitTheWindow) {
    Editor& e = instance<Editor>();
    e.show();
    auto* bar = static_cast<QMainWindow*>(e.widget())->menuBar();
    QAccessibleInterface* menuBar = QAccessible::queryAccessibleInterface(bar);
    ASSERT_EQ(menuBar->childCount(), 1);
    QAccessibleInterface* entry = menuBar->child(0);
    EXPECT_EQ(entry->text(QAccessible::Name).toStdString(), "Menu  ");
    EXPECT_EQ(entry->text(QAccessible::Description).toStdString(), "menu");
    EXPECT_EQ(entry->parent()->object(), bar);
    ASSERT_EQ(entry->childCount(), 1);
    QAccessibleInterface* dropDown = entry->child(0);
    ASSERT_EQ(dropDown->childCount(), 1);
    QAccessibleInterface* sub = dropDown->child(0);
    EXPECT_EQ(sub->text(QAccessible::Name).toStdString(), "Sub");
    EXPECT_EQ(sub->text(QAccessible::Description).toStdString(), "sub");
    e.log.clear();
    // The action returns before the entry's handler runs; the handler runs next.
    sub->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(e.log, std::vector<std::string>{});
    QCoreApplication::processEvents();
    EXPECT_EQ(e.log, std::vector<std::string>{"sub"});

    // A caption that grows widens the window with the bar.
    e.menu.setCaption("A much longer caption for the only entry of this menu bar");
    QCoreApplication::processEvents();
    EXPECT_LE(bar->actionGeometry(e.menu.action()).right(), e.widget()->width());
}

// A menu bar of plain entries, as the main window's.
class MenuBarForm : public Form {
  public:
    MenuBarForm() : Form("MenuBarForm", "Menus") {
        exitprog.onClick = [this] { log.push_back("exit"); };
        fishery.onClick = [this] { log.push_back("fishery"); };
    }
    MenuItem exitprog{*this, "exitprog", "Exit  "};
    MenuItem fishery{*this, "fishery", "Fishery  "};
    std::vector<std::string> log;
};

// The captions have no mnemonic letter: F10 marks the first entry, the arrows move along the bar
// and Return chooses.
TEST(Forms, MenuEntriesAreReachedFromTheKeyboard) {
    MenuBarForm& f = instance<MenuBarForm>();
    f.show();
    f.widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.widget()));
    auto* bar = static_cast<QMainWindow*>(f.widget())->menuBar();
    QTest::keyClick(f.widget(), Qt::Key_F10);
    EXPECT_EQ(bar->activeAction(), f.exitprog.action());
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.log, std::vector<std::string>{"fishery"});
    f.unload();
}

// Alt+F4 is the close box of every window, whatever has the focus in it.
TEST(Forms, AltF4Unloads) {
    Editor& e = instance<Editor>();
    e.show();
    QTest::keyClick(e.nages.widget(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(plat::isLoaded<Editor>());
}

// A box that belongs with the one before stands in its row; a labelled box hides its label.
TEST(Forms, SameRowAndLabelsThatHideWithTheirBox) {
    Form& f = instance<Third>();
    TextBox first{f, "first", "First and last year"};
    f.sameRow();
    TextBox last{f, "last", ""};
    TextBox below{f, "below", "Below"};
    f.show();
    QCoreApplication::processEvents();
    const QRect a = first.widget()->geometry();
    const QRect b = last.widget()->mapTo(f.widget(), QPoint(0, 0)).y() ==
                            first.widget()->mapTo(f.widget(), QPoint(0, 0)).y()
                        ? last.widget()->geometry()
                        : QRect();
    EXPECT_FALSE(b.isNull()) << "the last year is not beside the first";
    EXPECT_GT(last.widget()->mapTo(f.widget(), QPoint(0, 0)).x(),
              first.widget()->mapTo(f.widget(), QPoint(0, 0)).x() + a.width() - 1);
    EXPECT_GT(below.widget()->mapTo(f.widget(), QPoint(0, 0)).y(),
              first.widget()->mapTo(f.widget(), QPoint(0, 0)).y());

    QLabel* label = nullptr;
    for (QLabel* l : f.widget()->findChildren<QLabel*>())
        if (l->text() == "Below") label = l;
    ASSERT_NE(label, nullptr);
    below.setVisible(false);
    EXPECT_TRUE(label->isHidden());
    below.setVisible(true);
    EXPECT_FALSE(label->isHidden());
    f.unload();
}

TEST(Forms, LabelBreaksItsLineAtALoneCarriageReturnAndKeepsItsCaption) {
    Form& f = instance<Third>();
    Label credit{f, "LblAuthor", "Name\rContact\r\nDate"};
    EXPECT_EQ(static_cast<QLabel*>(credit.widget())->text().toStdString(), "Name\nContact\r\nDate");
    EXPECT_EQ(credit.caption(), "Name\rContact\r\nDate");
    credit.setCaption("a\rb");
    EXPECT_EQ(static_cast<QLabel*>(credit.widget())->text().toStdString(), "a\nb");
    EXPECT_EQ(credit.caption(), "a\rb");
}

struct EventCase {
    const char* what;
    std::function<void(Editor&)> act;
    std::vector<std::string> log;
};

TEST(Forms, EventRules) {
    const std::vector<EventCase> cases = {
        {"text from code", [](Editor& e) { e.nages.setText("11"); }, {"nages:11"}},
        {"same text from code", [](Editor& e) { e.nages.setText("10"); }, {}},
        {"typing",
         [](Editor& e) { static_cast<QLineEdit*>(e.nages.widget())->insert("5"); },
         {"nages:105"}},
        {"option set from code", [](Editor& e) { e.opt1.setValue(true); }, {"opt1:1"}},
        {"option set twice",
         [](Editor& e) {
             e.opt1.setValue(true);
             e.opt1.setValue(true);
         },
         {"opt1:1", "opt1:1"}},
        {"option cleared from code",
         [](Editor& e) {
             e.opt1.setValue(true);
             e.opt1.setValue(false);
         },
         {"opt1:1"}},
        {"click on a selected option does nothing",
         [](Editor& e) {
             e.opt1.click();
             e.opt1.click();
         },
         {"opt1:1"}},
        {"option click clears the other silently",
         [](Editor& e) {
             e.opt1.click();
             e.opt2.click();
         },
         {"opt1:1", "opt2:1"}},
        {"check box from code",
         [](Editor& e) {
             e.chk.setValue(1);
             e.chk.setValue(1);
         },
         {"chk:1"}},
        {"check box click",
         [](Editor& e) {
             e.chk.click();
             e.chk.click();
         },
         {"chk:1", "chk:0"}},
        {"scroll value",
         [](Editor& e) {
             e.bar.setValue(5);
             e.bar.setValue(5);
         },
         {"bar:5"}},
        {"new maximum moves the value",
         [](Editor& e) {
             e.bar.setValue(50);
             e.bar.setMax(20);
             e.bar.setMax(30);
         },
         {"bar:50", "bar:20"}},
        {"new minimum moves the value", [](Editor& e) { e.bar.setMin(3); }, {"bar:3"}},
        {"button", [](Editor& e) { e.save.click(); }, {"save"}},
        {"disabled button",
         [](Editor& e) {
             e.save.setEnabled(false);
             e.save.click();
         },
         {}},
        {"menu entries",
         [](Editor& e) {
             e.sub.click();
             e.menu.click();
         },
         {"sub", "menu"}},
    };
    for (const auto& c : cases) {
        Editor& e = instance<Editor>();
        e.log.clear();
        c.act(e);
        EXPECT_EQ(e.log, c.log) << c.what;
        e.unload();
    }
}

TEST(Forms, OptionButtonsExclusiveWithinTheirContainer) {
    Editor& e = instance<Editor>();
    e.opt1.setValue(true);
    e.opt2.setValue(true);
    EXPECT_FALSE(e.opt1.value());
    EXPECT_TRUE(e.opt2.value());
    e.opt2.setValue(false);
    EXPECT_FALSE(e.opt2.value());
}

// A handler that waits while its own window is unloaded resumes on a live object.
class Waiter : public Form {
  public:
    Waiter() : Form("Waiter", "Waiter") {
        go.onClick = [this] {
            show();
            while (doEvents() > 0) {
            }
            after = go.caption(); // this object must still be alive here
            done = true;
        };
    }
    ~Waiter() override { ++destroyed; }
    CommandButton go{*this, "go", "Go"};
    static inline int destroyed = 0;
    std::string after;
    bool done = false;
};

TEST(Forms, HandlerSurvivesItsWindowBeingUnloadedWhileItWaits) {
    setDestroyInWaits(true);
    plat::testing::ScriptedUser user;
    Waiter* w = &instance<Waiter>();
    user.act([w] { w->closeBox(); });
    Waiter::destroyed = 0;
    w->go.click();
    EXPECT_TRUE(w->done);
    EXPECT_EQ(w->after, "Go");
    EXPECT_FALSE(isLoaded<Waiter>());
    EXPECT_EQ(Waiter::destroyed, 0);
    doEvents(); // outside every handler: now the window object goes
    EXPECT_EQ(Waiter::destroyed, 1);
    setDestroyInWaits(false);
}

TEST(Forms, NestedWaitsEndInsideOut) {
    plat::testing::ScriptedUser user;
    Waiter& w = instance<Waiter>();
    Other& o = instance<Other>();
    std::vector<std::string> order;
    user.act([&] {
        // The user opens another window and waits on it from inside the first wait.
        o.show();
        while (o.visible())
            doEvents();
        order.push_back("inner done");
    });
    user.act([&] { o.hide(); });
    user.act([&] { w.hide(); });
    w.go.click();
    order.push_back("outer done");
    EXPECT_EQ(order, (std::vector<std::string>{"inner done", "outer done"}));
    EXPECT_TRUE(user.finished());
}

} // namespace
