#include "control_window/windows/editors/growthfrm.h"

#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <tuple>
#include <vector>

#include "control_window/model/maincode.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

namespace cw {

namespace {

// The growth edits index ages 1..nages, sexes and seasons 1..nszns; other editors may have left
// the shared dimensions anywhere, so each edit checks them first.
bool dimensionsUsable() {
    if (mc.nages >= 1 && mc.nages <= kMaxAge && mc.nszns >= 1 && mc.nszns <= kMaxSeasons &&
        mc.nsexes >= 1 && mc.nsexes <= kMaxSexes) {
        return true;
    }
    plat::msgBox("The growth data need 1 to 100 ages, 1 or 2 sexes and 1 to 12 seasons.");
    return false;
}

int editedSex() {
    if (mc.isex < 1 || mc.isex > kMaxSexes) mc.isex = 1;
    return mc.isex;
}

// The top of the y axis for a graph edit; nothing when the edit is to end unchanged.
std::optional<float> askScale(const std::string& title, double proposed) {
    const std::optional<double> v = bioedit::answerNumber(
        plat::inputBox("Scale of Y for input", title, bioedit::proposal(proposed)));
    if (!v || *v <= 0 || *v > double(FLT_MAX)) return std::nullopt;
    return float(*v);
}

std::string singleText(float v) {
    return plat::strSingle(v);
}

} // namespace

Growthfrm::Growthfrm() : plat::Form("Growthfrm", "Growth Data") {
    // The two buttons beside "Update Lengths" show no caption a user could go by.
    Option1.setAccessibleName("Update Lengths, sex 1");
    Option2.setAccessibleName("Update Lengths, sex 2");
    struct DoubleBox {
        plat::TextBox* box;
        Bounded<double, 1, kMaxSexes>* var;
        int sex;
    };
    const DoubleBox vbBoxes[] = {
        {&L_sex1, &mc.vblinf, 1}, {&K_sex1, &mc.vbk, 1}, {&t0_sex1, &mc.vbt0, 1},
        {&L_sex2, &mc.vblinf, 2}, {&K_sex2, &mc.vbk, 2}, {&t0_sex2, &mc.vbt0, 2},
    };
    for (const DoubleBox& b : vbBoxes) {
        b.box->onChange = [this, b] {
            editor::storeDouble(*b.box, (*b.var)(b.sex));
            // A changed parameter clears its button, so that selecting it again recomputes.
            (b.sex == 1 ? Option1 : Option2).setValue(false);
            noteOptions();
            update();
        };
        editor::showsStored(*b.box, editor::BoxKind::Double,
                            [b] { return plat::strDouble((*b.var)(b.sex)); });
    }
    struct SingleBox {
        plat::TextBox* box;
        Bounded<float, 1, kMaxSexes>* var;
        int sex;
    };
    const SingleBox lwBoxes[] = {
        {&a_sex1, &mc.lwa, 1}, {&b_sex1, &mc.lwb, 1}, {&CV_sex1, &mc.cvlng, 1},
        {&a_sex2, &mc.lwa, 2}, {&b_sex2, &mc.lwb, 2}, {&CV_sex2, &mc.cvlng, 2},
    };
    for (const SingleBox& b : lwBoxes) {
        b.box->onChange = [this, b] {
            editor::storeSingle(*b.box, (*b.var)(b.sex));
            update();
        };
        // The female's a shows the files' print form, as the window shows it on opening.
        const bool printed = b.box == &a_sex2;
        editor::showsStored(*b.box, editor::BoxKind::Single, [b, printed] {
            const float v = (*b.var)(b.sex);
            return printed ? editor::printFormInBox(plat::printSingle(v)) : singleText(v);
        });
    }
    editor::showsStored(nmorphs, editor::BoxKind::Whole,
                        [] { return plat::strInteger(mc.nmorphs); });
    nmorphs.onChange = [this] {
        const std::optional<int16_t> v = editor::boxInteger(nmorphs.text());
        if (!v || *v < 0) {
            // Refused: the box takes the stored number back.
            nmorphs.setText(plat::strInteger(mc.nmorphs));
            return;
        }
        mc.nmorphs = *v;
        if (mc.nmorphs > kMaxMorphs) {
            mc.nmorphs = kMaxMorphs;
            update();
        }
    };
    Option1.onClick = [this] { Option1_Click(); };
    Option2.onClick = [this] { Option2_Click(); };
    G_sex_1.onClick = [this] { G_sex_1_Click(); };
    G_sex_2.onClick = [this] { G_sex_2_Click(); };
    FYG_1.onClick = [this] { FYG_1_Click(); };
    fyg_2.onClick = [this] { fyg_2_Click(); };
    LoadSznGro.onClick = [this] { LoadSznGro_Click(); };
    use_VB.onClick = [this] { use_VB_Click(); };
}

void Growthfrm::Form_Load() {
    bioedit::takeFileCaption(*this);
    fillboxes(false);
    update();
}

void Growthfrm::fillboxes(bool keepEqual) {
    const auto put = [keepEqual](plat::TextBox& box, double value, const std::string& text) {
        if (keepEqual) {
            bioedit::rewriteIfDifferent(box, value, text);
        } else {
            box.setText(text);
        }
    };
    put(L_sex1, mc.vblinf(1), plat::strDouble(mc.vblinf(1)));
    put(K_sex1, mc.vbk(1), plat::strDouble(mc.vbk(1)));
    put(t0_sex1, mc.vbt0(1), plat::strDouble(mc.vbt0(1)));
    put(L_sex2, mc.vblinf(2), plat::strDouble(mc.vblinf(2)));
    put(K_sex2, mc.vbk(2), plat::strDouble(mc.vbk(2)));
    put(t0_sex2, mc.vbt0(2), plat::strDouble(mc.vbt0(2)));
    put(a_sex1, mc.lwa(1), singleText(mc.lwa(1)));
    put(b_sex1, mc.lwb(1), singleText(mc.lwb(1)));
    put(CV_sex1, mc.cvlng(1), singleText(mc.cvlng(1)));
    put(a_sex2, mc.lwa(2), editor::printFormInBox(plat::printSingle(mc.lwa(2))));
    put(b_sex2, mc.lwb(2), singleText(mc.lwb(2)));
    put(CV_sex2, mc.cvlng(2), singleText(mc.cvlng(2)));
}

void Growthfrm::update() {
    if (mc.nsexes == 0) mc.nsexes = 1;
    if (mc.nages == 0) mc.nages = 10;
    if (mc.nszns == 0) mc.nszns = 12;
    if (mc.nmorphs == 0) mc.nmorphs = 1;
    nmorphs.setText(plat::strInteger(mc.nmorphs));
    const bool oneSex = mc.nsexes == 1;
    const std::string first = oneSex ? "UniSex" : "Male";
    FYG_1.setCaption(first);
    G_sex_1.setCaption(first);
    Label5.setCaption(first);
    Label6.setCaption(first);
    // The boxes of the two sexes share their captions: each is read out with its sex.
    const std::string second = "Female";
    for (auto [box, caption, sex] :
         std::initializer_list<std::tuple<plat::TextBox*, const char*, int>>{{&L_sex1, "Loo", 1},
                                                                             {&K_sex1, "K", 1},
                                                                             {&t0_sex1, "t0", 1},
                                                                             {&a_sex1, "a", 1},
                                                                             {&b_sex1, "b", 1},
                                                                             {&CV_sex1, "CV", 1},
                                                                             {&L_sex2, "Loo", 2},
                                                                             {&K_sex2, "K", 2},
                                                                             {&t0_sex2, "t0", 2},
                                                                             {&a_sex2, "a", 2},
                                                                             {&b_sex2, "b", 2},
                                                                             {&CV_sex2, "CV", 2}})
        box->setAccessibleName(std::string(caption) + ", " + (sex == 1 ? first : second));
    // So do the buttons of the two graphs: each is read out with its frame.
    G_sex_1.setAccessibleName(first + ", Mean Sizes at Age");
    G_sex_2.setAccessibleName(second + ", Mean Sizes at Age");
    FYG_1.setAccessibleName(first + ", First Year Growth");
    fyg_2.setAccessibleName(second + ", First Year Growth");
    fyg_2.setEnabled(!oneSex);
    G_sex_2.setEnabled(!oneSex);
    for (plat::Control* c : std::initializer_list<plat::Control*>{
             &L_sex2, &K_sex2, &t0_sex2, &a_sex2, &b_sex2, &CV_sex2, &Label4, &Label7, &Option2}) {
        c->setVisible(!oneSex);
    }
    VB_equations.setVisible(use_VB.value() != 0);
}

void Growthfrm::noteOptions() {
    option1Was_ = Option1.value();
    option2Was_ = Option2.value();
}

void Growthfrm::vblengths() {
    if (mc.nages < 1 || mc.nages > kMaxAge) return;
    const int sex = editedSex();
    const double linf = mc.vblinf(sex), k = mc.vbk(sex), t0 = mc.vbt0(sex);
    if (linf == 0 || k == 0) return;
    std::vector<float> lengths(size_t(mc.nages) + 1);
    for (int a = 1; a <= mc.nages; ++a) {
        const double l = (1 - std::exp(-k * (a - t0))) * linf;
        if (!std::isfinite(l) || std::fabs(l) > double(FLT_MAX)) {
            plat::msgBox("The von Bertalanffy parameters give no length at age " +
                         std::to_string(a) + "; the mean lengths were not changed.");
            return;
        }
        lengths[size_t(a)] = float(l);
    }
    for (int a = 1; a <= mc.nages; ++a)
        mc.meanlng(a, sex) = lengths[size_t(a)];
}

void Growthfrm::loadgrowth() {
    if (graphInUse()) return;
    if (!dimensionsUsable()) return;
    if (mc.nsexes == 1) mc.isex = 1;
    const int sex = editedSex();
    const int n = mc.nages;
    double proposed = 1.25 * mc.meanlng(n, sex);
    if (mc.meanlng(n, sex) == 0) proposed = 125;
    const std::optional<float> top = askScale("Size at Age", proposed);
    if (!top) return;
    mc.xmin = 0;
    mc.xmax = float(n);
    mc.ymin = 0;
    mc.ymax = *top;
    mc.npts = n;
    for (int a = 1; a <= n; ++a) {
        mc.xplot(a) = float(a);
        mc.yplot(a) = mc.meanlng(a, sex);
    }
    mc.ytitle = "Mean Length";
    mc.xtitle = "Age";
    graphedit();
    for (int a = 1; a <= n; ++a)
        mc.meanlng(a, sex) = mc.yplot(a);
}

void Growthfrm::loadfyg() {
    if (graphInUse()) return;
    if (!dimensionsUsable()) return;
    const int sex = editedSex();
    const int z = mc.nszns;
    if (mc.meanlng(1, sex) == 0) {
        plat::msgBox("Mean sizes at age must be entered first");
        return;
    }
    for (;;) {
        const std::optional<float> top =
            askScale("FIRST YEAR LENGTHS BY SEASON", mc.meanlng(1, sex));
        if (!top) return;
        mc.xmin = 0;
        mc.xmax = float(z + 1);
        mc.ymin = 0;
        mc.ymax = *top;
        mc.npts = z;
        for (int s = 1; s <= z; ++s) {
            mc.xplot(s) = float(s);
            mc.yplot(s) = mc.fyg(s, sex);
        }
        mc.ytitle = "Length";
        mc.xtitle = "Season of Year";
        graphedit();
        bool accepted = mc.yplot(z) <= mc.meanlng(1, sex);
        for (int s = 1; s < z; ++s) {
            if (mc.yplot(s) > mc.yplot(s + 1)) accepted = false;
        }
        if (accepted) {
            for (int s = 1; s <= z; ++s)
                mc.fyg(s, sex) = mc.yplot(s);
            return;
        }
        if (plat::msgBox("Negative growth not allowed\nLast szn length may be longer than age 1",
                         plat::MsgButtons::OKCancel) == plat::MsgAnswer::Cancel) {
            return;
        }
    }
}

void Growthfrm::Option1_Click() {
    const bool becameSelected = Option1.value() && !option1Was_;
    noteOptions();
    if (!becameSelected) return;
    mc.isex = 1;
    vblengths();
    update();
}

void Growthfrm::Option2_Click() {
    const bool becameSelected = Option2.value() && !option2Was_;
    noteOptions();
    if (!becameSelected) return;
    mc.isex = 2;
    vblengths();
    update();
}

void Growthfrm::G_sex_1_Click() {
    mc.isex = 1;
    loadgrowth();
    update();
}

void Growthfrm::G_sex_2_Click() {
    mc.isex = 2;
    const plat::MsgAnswer answer =
        plat::msgBox("Make same as males", plat::MsgButtons::YesNoCancel, std::string());
    if (answer == plat::MsgAnswer::Yes) {
        const int n = std::min<int>(mc.nages, kMaxAge);
        for (int a = 1; a <= n; ++a)
            mc.meanlng(a, 2) = mc.meanlng(a, 1);
    } else if (answer == plat::MsgAnswer::No) {
        loadgrowth();
        mc.isex = 2;
    }
}

void Growthfrm::FYG_1_Click() {
    mc.isex = 1;
    loadfyg();
    update();
}

void Growthfrm::fyg_2_Click() {
    mc.isex = 2;
    const plat::MsgAnswer answer =
        plat::msgBox("Make same as males", plat::MsgButtons::YesNoCancel, std::string());
    if (answer == plat::MsgAnswer::Cancel) return;
    if (answer == plat::MsgAnswer::Yes) {
        const int z = std::min<int>(mc.nszns, kMaxSeasons);
        for (int s = 1; s <= z; ++s)
            mc.fyg(s, 2) = mc.fyg(s, 1);
    } else {
        loadfyg();
        mc.isex = 2;
    }
    update();
}

void Growthfrm::LoadSznGro_Click() {
    if (graphInUse()) return;
    if (!dimensionsUsable()) return;
    const int z = mc.nszns;
    const plat::MsgAnswer answer = plat::msgBox("Set to Mean", plat::MsgButtons::YesNoCancel);
    if (answer == plat::MsgAnswer::Cancel) return;
    std::vector<float> values(size_t(z) + 1);
    if (answer == plat::MsgAnswer::Yes) {
        for (int s = 1; s <= z; ++s)
            values[size_t(s)] = float(1.0 / z);
    } else {
        const std::optional<float> top = askScale("Growth fractions by season", 0.5);
        if (!top) return;
        mc.xmin = 0;
        mc.xmax = float(z + 1);
        mc.ymin = 0;
        mc.ymax = *top;
        mc.npts = z;
        for (int s = 1; s <= z; ++s) {
            mc.xplot(s) = float(s);
            mc.yplot(s) = mc.szngro(s);
        }
        mc.ytitle = "Fraction of Annual Growth ";
        mc.xtitle = "Season";
        graphedit();
        for (int s = 1; s <= z; ++s)
            values[size_t(s)] = mc.yplot(s);
    }
    float sum = 0;
    for (int s = 1; s <= z; ++s) {
        mc.szngro(s) = values[size_t(s)];
        sum += mc.szngro(s);
    }
    if (sum > 0) {
        for (int s = 1; s <= z; ++s)
            mc.szngro(s) = mc.szngro(s) / sum;
    }
}

void Growthfrm::use_VB_Click() {
    update();
}

} // namespace cw
