#pragma once
// The series edits of the fishery editor (by year, by season, selectivity by age or length), its
// copy and set handlers and the F scaler. They are members of DefineFishery; this header holds
// the small rules they share, so that tests can check them on their own.
#include <optional>
#include <string>
#include <string_view>

namespace cw::fisheryseries {

// An input-box answer as a number: nothing when it is empty or not a number (treated alike), or
// when it does not fit a single value.
std::optional<float> answerSingle(std::string_view text);
// The text an input box proposes for a value ("0.5", "40").
std::string proposal(float v);

} // namespace cw::fisheryseries
