#include "control_window/windows/editors/fecfrm.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <vector>

#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/lngfrm.h"
#include "control_window/windows/editorsupport.h"
#include "control_window/windows/graph.h"
#include "platform/numtext.h"
#include "platform/prompts.h"

#include <QFont>
#include <QGridLayout>
#include <QWidget>

namespace cw {

namespace {

// The equation frame reads as the formula itself: a_fec, a large L, and b_fec raised beside it
// like an exponent, with the Update button below.
void layOutEquation(Fecfrm& f) {
    QWidget* frame = f.Frame1.containerWidget();
    auto* grid = frame ? qobject_cast<QGridLayout*>(frame->layout()) : nullptr;
    if (!grid) return;
    QWidget* a = f.a_fec.widget();
    QWidget* l = f.Label10.widget();
    QWidget* b = f.b_fec.widget();
    QWidget* update = f.Option1.widget();
    for (QWidget* w : {a, l, b, update})
        grid->removeWidget(w);
    QFont big = l->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    l->setFont(big);
    grid->addWidget(a, 0, 0, Qt::AlignBottom);
    grid->addWidget(l, 0, 1, Qt::AlignBottom);
    grid->addWidget(b, 0, 2, Qt::AlignTop);
    grid->setRowMinimumHeight(0, a->sizeHint().height() * 3 / 2);
    grid->addWidget(update, 1, 0, 1, 3);
}

} // namespace

Fecfrm::Fecfrm() : plat::Form("Fecfrm", "Fecundity") {
    // The equation's two boxes and the frame of the length intervals have no caption of their own.
    Frame2.setAccessibleName("Length intervals");
    a_fec.setAccessibleName("Fecundity coefficient a");
    b_fec.setAccessibleName("Fecundity exponent b");
    IFecOpt.onChange = [this] { IFecOpt_Change(); };
    nfeclng.onChange = [this] { nfeclng_Change(); };
    minsiz.onChange = [this] { minsiz_Change(); };
    maxlng.onChange = [this] { maxlng_Change(); };
    a_fec.onChange = [this] { a_fec_Change(); };
    b_fec.onChange = [this] { b_fec_Change(); };
    using editor::BoxKind;
    const auto printed = [](const double& v) {
        return [&v] { return editor::printFormInBox(plat::printDouble(v)); };
    };
    editor::showsStored(nfeclng, BoxKind::Whole, [] { return plat::strInteger(mc.nfeclng); });
    editor::showsStored(minsiz, BoxKind::Single, [] { return plat::strSingle(mc.minsiz); });
    editor::showsStored(maxlng, BoxKind::Single, [] { return plat::strSingle(mc.maxlng); });
    editor::showsStored(a_fec, BoxKind::Double, printed(mc.a_fec));
    editor::showsStored(b_fec, BoxKind::Double, printed(mc.b_fec));
    use_equation.onClick = [this] { use_equation_Click(); };
    Option1.onClick = [this] { Option1_Click(); };
    LoadFecundity.onClick = [this] { LoadFecundity_Click(); };
    layOutEquation(*this);
}

void Fecfrm::Form_Load() {
    bioedit::takeFileCaption(*this);
    update();
}

void Fecfrm::update() {
    if (mc.ifecopt == "A") {
        IFecOpt.setText("A");
        Frame1.setVisible(false);
        Frame2.setVisible(false);
        use_equation.setVisible(false);
    } else if (mc.ifecopt == "L") {
        IFecOpt.setText("L");
        a_fec.setText(editor::printFormInBox(plat::printDouble(mc.a_fec)));
        b_fec.setText(editor::printFormInBox(plat::printDouble(mc.b_fec)));
        IFecOpt.setText("L");
        minsiz.setText(plat::strSingle(mc.minsiz));
        maxlng.setText(plat::strSingle(mc.maxlng));
        nfeclng.setText(plat::strInteger(mc.nfeclng));
        Frame1.setVisible(true);
        Frame2.setVisible(true);
        use_equation.setVisible(true);
        Frame1.setVisible(use_equation.value() != 0);
        Option1.setVisible(mc.maxlng > 0 && mc.nfeclng >= 1);
    } else {
        IFecOpt.setText("");
        Frame1.setVisible(false);
        Frame2.setVisible(false);
        use_equation.setVisible(false);
    }
}

void Fecfrm::IFecOpt_Change() {
    std::string option = IFecOpt.text();
    for (char& c : option)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (option == "A" || option == "L") mc.ifecopt = option;
    update();
}

void Fecfrm::nfeclng_Change() {
    bioedit::storeLengthIntervals(nfeclng);
}

void Fecfrm::minsiz_Change() {
    editor::storeSingle(minsiz, mc.minsiz);
}

void Fecfrm::maxlng_Change() {
    editor::storeSingle(maxlng, mc.maxlng);
}

void Fecfrm::a_fec_Change() {
    editor::storeDouble(a_fec, mc.a_fec);
}

void Fecfrm::b_fec_Change() {
    editor::storeDouble(b_fec, mc.b_fec);
}

void Fecfrm::use_equation_Click() {
    update();
}

void Fecfrm::Option1_Click() {
    // An action button: cleared at once, so the next click acts again.
    Option1.setValue(false);
    if (mc.nfeclng < 1) return;
    const int n = std::min<int>(mc.nfeclng, kMaxLengthBins);
    const float w = (mc.maxlng - mc.minsiz) / float(mc.nfeclng);
    std::vector<float> table(size_t(n) + 1);
    for (int k = 1; k <= n; ++k) {
        const float lower = float(k - 1) * w + mc.minsiz;
        const double v = mc.a_fec * std::pow(double(lower), mc.b_fec);
        // A negative edge with a fractional exponent, an edge of 0 with a negative exponent or a
        // result too large for the table has no value to store.
        if (!std::isfinite(v) || std::fabs(v) > double(FLT_MAX)) {
            plat::msgBox("The fecundity equation has no value at length " + plat::strSingle(lower) +
                         "; the fecundity table was not changed.");
            return;
        }
        table[size_t(k)] = float(v);
    }
    for (int k = 1; k <= n; ++k)
        mc.fec(k) = table[size_t(k)];
}

void Fecfrm::LoadFecundity_Click() {
    if (graphInUse()) return;
    if (mc.ifecopt == "A") {
        editByAge();
    } else if (mc.ifecopt == "L") {
        editByLength();
    } else {
        update();
    }
}

void Fecfrm::editByAge() {
    // Ages 0..nages need an age beyond 0 for the axis to have a width.
    if (mc.nages < 1 || mc.nages > kMaxAge) return;
    const int n = mc.nages;
    const double top = plat::val(plat::inputBox("Scale of fecundity for input", "Maximum Fecundity",
                                                bioedit::proposal(1.2 * mc.fec(n))));
    if (top <= 0 || top > double(FLT_MAX)) return;
    mc.ytitle = "Fecundity";
    mc.xtitle = "Age";
    mc.ymin = 0;
    mc.ymax = float(top);
    mc.xmin = 0;
    mc.xmax = float(n);
    mc.npts = n + 1;
    for (int k = 1; k <= mc.npts; ++k) {
        mc.yplot(k) = mc.fec(k - 1);
        mc.xplot(k) = float(k - 1);
    }
    graphedit();
    for (int k = 1; k <= n + 1; ++k)
        mc.fec(k - 1) = mc.yplot(k);
    update();
}

void Fecfrm::editByLength() {
    if (mc.nfeclng <= 0) mc.nfeclng = 50;
    if (mc.nfeclng > kMaxLengthBins) mc.nfeclng = kMaxLengthBins;
    // The mean length of the oldest age proposes the upper size; before the number of sexes is
    // set the first sex stands in for it, and without ages nothing is proposed.
    const int sex = mc.nsexes >= 1 && mc.nsexes <= kMaxSexes ? mc.nsexes : 1;
    if (mc.maxlng == 0 && mc.nages >= 1 && mc.nages <= kMaxAge && mc.meanlng(mc.nages, sex) > 0) {
        mc.maxlng = mc.meanlng(mc.nages, sex);
    }
    lngfrm& dialog = plat::instance<lngfrm>();
    dialog.Maxfecundity.setText(editor::printFormInBox(plat::printSingle(mc.fec(mc.nfeclng))));
    dialog.showsizes();
    dialog.show();
    waitWhileShown<lngfrm>();
    // Closed with its close box, the dialog is gone; what it held then counts as its Cancel.
    const lngfrm::Answer answer =
        plat::isLoaded<lngfrm>() ? plat::instance<lngfrm>().answer() : lngfrm::lastAnswer();

    const double top = plat::val(answer.maxFecundity);
    const double lower = plat::val(answer.lowerSize);
    const double upper = plat::val(answer.upperSize);
    if (top <= 0 || top > double(FLT_MAX) / 1.2) return;
    const int n = std::min<int>(mc.nfeclng, kMaxLengthBins);
    if (n < 2) {
        plat::msgBox("Editing fecundity on the graph needs at least 2 length intervals.");
        return;
    }
    if (!(upper > lower) || std::fabs(upper) > double(FLT_MAX) ||
        std::fabs(lower) > double(FLT_MAX)) {
        plat::msgBox("The upper size must be greater than the lower size.");
        return;
    }
    mc.ytitle = "Fecundity";
    mc.xtitle = "Length";
    mc.ymax = float(top);
    mc.xmin = float(lower);
    mc.xmax = float(upper);
    for (int k = 1; k <= n; ++k)
        mc.yplot(k) = mc.fec(k);
    fillxgrid(float(n));
    mc.ymax = float(1.2 * mc.ymax);
    mc.xmin = mc.xplot(1);
    mc.xmax = mc.xplot(n);
    mc.npts = n;
    mc.ymin = 0;
    graphedit();
    for (int k = 1; k <= n; ++k)
        mc.fec(k) = mc.yplot(k);
    update();
}

} // namespace cw
