#pragma once
// Shared pieces of the recruitment editor tests: a scripted user that keeps what each input box
// proposed, a message step that checks only part of the text, and a graph action.
#include "cw_fixture.h"

#include <string>
#include <utility>
#include <vector>

namespace yoytest {

using cwtest::dragTo;

class User : public cwtest::ProposalUser {
  public:
    // A message whose text holds each of the parts; answered with OK.
    User& messageWith(std::vector<std::string> parts) {
        cwtest::messageWith(*this, std::move(parts));
        return *this;
    }
};

inline std::string fixturePath(const std::string& name) {
    return cwtest::dataPath(name);
}

} // namespace yoytest
