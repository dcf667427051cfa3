#include "control_window/lngfrm.h"

#include "control_window/definebio.h"
#include "control_window/maincode.h"
#include "platform/numtext.h"

namespace cw {

lngfrm::Answer lngfrm::closed_;

lngfrm::lngfrm() : plat::Form("lngfrm", "Length stuff") {
    Lng_intervals.onChange = [this] { Lng_intervals_Change(); };
    Lowest_included_size.onChange = [this] { Lowest_included_size_Change(); };
    Maximum_included_size.onChange = [this] { Maximum_included_size_Change(); };
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
    const std::optional<int16_t> v = bioedit::boxInteger(Lng_intervals.text());
    if (!v || *v < 0) {
        Lng_intervals.setText(plat::strInteger(mc.nfeclng));
        return;
    }
    mc.nfeclng = *v;
    if (mc.nfeclng > kMaxLengthBins) {
        mc.nfeclng = kMaxLengthBins;
        Lng_intervals.setText("100");
    }
}

void lngfrm::Lowest_included_size_Change() {
    if (const std::optional<float> v = bioedit::boxSingle(Lowest_included_size.text())) {
        mc.minsiz = *v;
    } else {
        Lowest_included_size.setText(plat::strSingle(mc.minsiz));
    }
}

void lngfrm::Maximum_included_size_Change() {
    if (const std::optional<float> v = bioedit::boxSingle(Maximum_included_size.text())) {
        mc.maxlng = *v;
    } else {
        Maximum_included_size.setText(plat::strSingle(mc.maxlng));
    }
}

void lngfrm::OKButton_Click() {
    hide();
}

void lngfrm::CancelButton_Click() {
    hide();
}

} // namespace cw
