#include "control_window/windows/editors/lngfrm.h"

#include "control_window/model/maincode.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editorsupport.h"
#include "platform/numtext.h"

namespace cw {

lngfrm::Answer lngfrm::closed_;

lngfrm::lngfrm() : plat::Form("lngfrm", "Length stuff") {
    Lng_intervals.onChange = [this] { Lng_intervals_Change(); };
    Lowest_included_size.onChange = [this] { Lowest_included_size_Change(); };
    Maximum_included_size.onChange = [this] { Maximum_included_size_Change(); };
    using editor::BoxKind;
    editor::showsStored(Lng_intervals, BoxKind::Whole, [] { return plat::strInteger(mc.nfeclng); });
    editor::showsStored(Lowest_included_size, BoxKind::Single,
                        [] { return plat::strSingle(mc.minsiz); });
    editor::showsStored(Maximum_included_size, BoxKind::Single,
                        [] { return plat::strSingle(mc.maxlng); });
    OKButton.onClick = [this] { OKButton_Click(); };
    CancelButton.onClick = [this] { CancelButton_Click(); };
}

void lngfrm::Form_Load() {
    bioedit::takeFileCaption(*this);
}

void lngfrm::Form_Unload() {
    closed_ = answer();
}

lngfrm::Answer lngfrm::lastAnswer() {
    return closed_;
}

lngfrm::Answer lngfrm::answer() const {
    return {Maxfecundity.text(), Lowest_included_size.text(), Maximum_included_size.text()};
}

void lngfrm::showsizes() {
    Lng_intervals.setText(plat::strInteger(mc.nfeclng));
    Lowest_included_size.setText(plat::strSingle(mc.minsiz));
    Maximum_included_size.setText(plat::strSingle(mc.maxlng));
}

void lngfrm::Lng_intervals_Change() {
    bioedit::storeLengthIntervals(Lng_intervals);
}

void lngfrm::Lowest_included_size_Change() {
    editor::storeSingle(Lowest_included_size, mc.minsiz);
}

void lngfrm::Maximum_included_size_Change() {
    editor::storeSingle(Maximum_included_size, mc.maxlng);
}

void lngfrm::OKButton_Click() {
    hide();
}

void lngfrm::CancelButton_Click() {
    hide();
}

} // namespace cw
