#pragma once
// Shared pieces of the biology window tests: the common fixture, the scripted user that keeps
// the proposals of the input boxes, and graph actions.
#include "cw_fixture.h"

#include <string>

namespace biotest {

using BioTest = cwtest::CwTest;
using User = cwtest::ProposalUser;
using cwtest::closeWindow;
using cwtest::dragTo;
using cwtest::readFile;
using cwtest::writeFile;

inline std::string fixture(const std::string& name) {
    return cwtest::dataFile(name);
}

} // namespace biotest
