#pragma once
// Small rules of the index editor's series edits (their handlers are members of Defineindex,
// written in indexseries.cpp).
#include <optional>
#include <string>

namespace cw::indexseries {

// An input-box answer as a single value: nothing when it is empty, not a number, or too large
// for a series; the edits treat all three like an empty answer.
std::optional<float> answerSingle(const std::string& text);

// The text an input box proposes for a value: its box text with a leading zero ("0.5").
std::string proposal(float v);

} // namespace cw::indexseries
