#include "platform/testing/qt_warnings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace plat::testing {

namespace {

struct Expected {
    const ExpectQtWarning* owner;
    QString text;
    int seen = 0;
};

// Qt may warn from any thread (a file dialog's folder reader runs on one of its own).
std::mutex& guard() {
    static std::mutex m;
    return m;
}

std::vector<Expected>& expected() {
    static std::vector<Expected> list;
    return list;
}

} // namespace

ExpectQtWarning::ExpectQtWarning(std::string text) : text_(std::move(text)) {
    const std::lock_guard<std::mutex> lock(guard());
    expected().push_back({this, QString::fromStdString(text_)});
}

ExpectQtWarning::~ExpectQtWarning() {
    int seen = 0;
    {
        const std::lock_guard<std::mutex> lock(guard());
        auto& list = expected();
        const auto it = std::find_if(list.begin(), list.end(),
                                     [this](const Expected& e) { return e.owner == this; });
        if (it != list.end()) {
            seen = it->seen;
            list.erase(it);
        }
    }
    EXPECT_GT(seen, 0) << "Qt gave no warning with \"" << text_ << "\"";
}

bool expectedQtWarning(const QString& message) {
    const std::lock_guard<std::mutex> lock(guard());
    for (Expected& e : expected()) {
        if (message.contains(e.text)) {
            ++e.seen;
            return true;
        }
    }
    return false;
}

} // namespace plat::testing
