#pragma once
// Shared pieces of the index editor's tests: the window on a clean data model, a scripted user
// that keeps what each input box proposed, and graph actions.
#include "control_window/windows/editors/defineindex.h"
#include "cw_fixture.h"

namespace indextest {

using User = cwtest::ProposalUser;
using cwtest::closeGraph;
using cwtest::dragTo;

class IndexTest : public cwtest::CwTest {
  protected:
    cw::Defineindex& ed() { return plat::instance<cw::Defineindex>(); }

    // Years 2000..2004, two sexes, ages 0..3, three seasons, on a fresh window.
    cw::Defineindex& fiveYears() {
        cw::Defineindex& e = ed();
        e.I_FYR.setText("2000");
        e.I_LYR.setText("2004");
        e.I_nsexes.setText("2");
        e.I_Nages.setText("3");
        e.I_nszns.setText("3");
        return e;
    }
};

} // namespace indextest
