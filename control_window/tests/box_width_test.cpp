// Every text box of the editors shows its whole value when the bundled example is loaded. The
// suite also runs at the scale factors 1.5 and 2, where text is drawn wider than at 1.
#include "cw_fixture.h"

#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/definefishery.h"
#include "control_window/windows/editors/defineindex.h"
#include "control_window/windows/editors/definerun.h"
#include "control_window/windows/editors/definetez.h"
#include "control_window/windows/editors/definewox.h"
#include "control_window/windows/editors/defineyoy.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using cwtest::CwTest;

// A line edit's style option as the edit itself makes it, to find where its text stands.
QStyleOptionFrame frameOption(const QLineEdit& edit) {
    QStyleOptionFrame opt;
    opt.initFrom(&edit);
    opt.rect = edit.contentsRect();
    opt.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    if (edit.isReadOnly()) opt.state |= QStyle::State_ReadOnly;
    opt.features = QStyleOptionFrame::None;
    return opt;
}

// The boxes of a window whose text is wider than the room the box has for it:
// "<box> '<text>'".
std::vector<std::string> cutBoxes(plat::Form& form) {
    QCoreApplication::processEvents();
    std::vector<std::string> cut;
    for (QLineEdit* edit : form.widget()->findChildren<QLineEdit*>()) {
        if (!edit->isVisible() || edit->text().isEmpty()) continue;
        const QStyleOptionFrame opt = frameOption(*edit);
        const QRect contents =
            edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
        const QMargins m = edit->textMargins();
        // The text stands 2 pixels in from each side of the contents.
        const double room = contents.width() - m.left() - m.right() - 2 * 2;
        const double text = QFontMetricsF(edit->font()).horizontalAdvance(edit->text());
        if (text > room)
            cut.push_back(edit->objectName().toStdString() + " '" + edit->text().toStdString() +
                          "'");
    }
    return cut;
}

// The same for window F opened on the example file `name`.
template <class F> std::vector<std::string> cutBoxes(const std::string& name) {
    std::filesystem::copy_file(std::string(VESK_EXAMPLES_DIR) + "/" + name,
                               plat::currentFolder() + "/" + name);
    cw::mc.startfile = name;
    F& form = plat::instance<F>();
    form.show();
    cw::mc.startfile.clear();
    return cutBoxes(form);
}

TEST_F(CwTest, EveryBoxShowsItsWholeValue) {
    const std::vector<std::string> none;
    EXPECT_EQ(cutBoxes<cw::DefineFishery>("snapper.fst"), none);
    EXPECT_EQ(cutBoxes<cw::Defineindex>("snapper.ndf"), none);
    EXPECT_EQ(cutBoxes<cw::DefineBio>("snapper.bio"), none);
    EXPECT_EQ(cutBoxes<cw::DefineYOY>("snapper.yoy"), none);
    EXPECT_EQ(cutBoxes<cw::DefineRun>("snapper.run"), none);
    EXPECT_EQ(cutBoxes<cw::DefineTEZ>("snapper.tez"), none);
    EXPECT_EQ(cutBoxes<cw::DefineWOX>("snapper.wox"), none);
}

TEST_F(CwTest, ABoxWidensForAValueTypedAfterTheWindowIsShown) {
    cw::DefineFishery& fishery = plat::instance<cw::DefineFishery>();
    fishery.show();
    QCoreApplication::processEvents();
    fishery.F_FYR.setText("2018");
    fishery.F_LYR.setText("2021");
    EXPECT_EQ(cutBoxes(fishery), std::vector<std::string>{});
}

} // namespace
