#pragma once
// The GUI test main fails the running test on any warning Qt prints that the test did not declare:
// a new warning is a fault to mend, not noise. A test that must trigger one declares it with an
// ExpectQtWarning for as long as it may come, and fails if it never came.
#include <QString>

#include <string>

namespace plat::testing {

class ExpectQtWarning {
  public:
    // Any Qt warning, critical or fatal message that contains `text`.
    explicit ExpectQtWarning(std::string text);
    ~ExpectQtWarning(); // a failure when no such message came
    ExpectQtWarning(const ExpectQtWarning&) = delete;
    ExpectQtWarning& operator=(const ExpectQtWarning&) = delete;

  private:
    std::string text_;
};

// For the test main's message handler: whether a declared warning takes `message` (and counts it).
bool expectedQtWarning(const QString& message);

} // namespace plat::testing
