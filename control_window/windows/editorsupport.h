#pragma once
// Small pieces that the definition editors share: reading numbers typed into boxes and input
// boxes, the text the boxes show, the selectivity controls of the fishery and index editors,
// opening the command-line file and loading and saving a definition through the file dialogs,
// the year list of the equilibrium and yield-per-recruit definitions, and the graph edits of a
// series by year and of season fractions.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "control_window/model/maincode.h"
#include "platform/form.h"
#include "platform/prompts.h"
#include "platform/seqfile.h"

namespace cw::editor {

// ---- Numbers in boxes -----------------------------------------------------------------------

// A count or year typed into a box: the leading number rounded to a whole number, halves to
// even; nothing when it lies outside the 16-bit range (such a text is refused).
std::optional<int16_t> boxInteger(std::string_view text);
// A box read as a single value; nothing when the number does not fit one (too large, or so small
// that it would become 0).
std::optional<float> boxSingle(std::string_view text);
// A box read as a double value; nothing when the number is too large for a double or for the
// files' 15-digit form of it to read back (1.7976931348623157E+308 prints as
// 1.79769313486232E+308, which is beyond the range).
std::optional<double> boxDouble(std::string_view text);
// A box converted strictly to a whole 16-bit number, halves to even; nothing for text that is
// not a number (an empty box too) or lies outside the range.
std::optional<int16_t> strictInteger(std::string_view text);
// An input-box answer as a single value: nothing when it is empty, not a number, or does not fit
// a single value; the edits treat all three like an empty answer.
std::optional<float> answerSingle(std::string_view text);
// The plain text of a value with a zero before a leading point ("0.5", "-0.25", "12", "1E+07"),
// written in single precision when `single` is set.
std::string boxText(double v, bool single);
// A number in the print form of the files without its trailing blank (" .5", "-.5"), for the
// few boxes that show it so.
std::string printFormInBox(const std::string& printed);

// How a box's text reads as its stored value: a whole 16-bit or 32-bit number, or a number in
// single or double precision.
enum class BoxKind { Whole, Long, Single, Double };

// Lets `box` show the value it stores once the user leaves it, and before every save, export and
// launch (plat::showStoredValues): a text that reads, strictly, as the value the files keep stays
// ("0.50" for .5, "2002.0" for 2002); any other ("0,5", "abc", "7x", "2001.5", "0.123456789"
// where the files keep .1234568) gives way to `shown()`, the box's own text of that value. An
// empty box stands for 0. Only the text changes: the box's handler does not run.
// A number that the box's variable cannot hold (1e39 for a single, 40000 for a whole number) is
// refused there: the box says so once and puts back, through its handler, the value it held when
// the focus entered it, whatever the keys typed on the way stored.
void showsStored(plat::TextBox& box, BoxKind kind, std::function<std::string()> shown);

// Number boxes are rewritten only when their number differs, so that partial input such as "0."
// or a typed "0.50" stays.
void rewriteSingle(plat::TextBox& box, float value);
void rewriteWhole(plat::TextBox& box, int32_t value);
// The same for a box of a variant shown as `shown`: one never set, or holding a text, is
// rewritten always.
void rewriteVariant(plat::TextBox& box, const Variant& value, const std::string& shown);
// Stores a single typed into a box; a refused one is left as typed and changes nothing.
void storeSingle(plat::TextBox& box, float& value);
// The same for a double. True when the typed value was stored.
bool storeDouble(plat::TextBox& box, double& value);

// ---- Selectivity controls of the fishery and index editors ---------------------------------

// Shows the controls that a selectivity type uses: the minimum vulnerable size (its label and
// box) for ages ("A"), the length bins for lengths ("L"), neither for any other type.
void showSelectivityType(const std::string& type, plat::Control& minvulLabel, plat::Control& minvul,
                         plat::Control& bins);
// Sets up the sex buttons for one or two sexes; with the sexes equal the first button edits both
// and neither the second nor the copy to the other sex is offered.
void showSexButtons(int nsexes, bool sexesEqual, plat::CommandButton& first,
                    plat::CommandButton& second, plat::Control& sexesEqualBox,
                    plat::Control& matchOther);

// The seasonal proportions' and the selectivities' frames show the same captions ("Year", "Prev
// Year"): each of `controls` (with its caption) is read out by a screen reader as
// "<caption>, <the frame's caption>".
void nameInFrame(const plat::Frame& frame,
                 std::initializer_list<std::pair<plat::Control*, const char*>> controls);
// Names the year stepper that the fishery and index editors show in a frame: the year's box and
// scroll bar, "Years equal" and the copy to the previous and to the last year (nameInFrame).
void nameYearStepper(const plat::Frame& frame, plat::Control& year, plat::Control& scroll,
                     plat::Control& yearsEqual, plat::Control& prevYear, plat::Control& lastYear);

// ---- Definition files -----------------------------------------------------------------------

// What every save and export asks first: false, after the message, while a graph edit is open
// (refusedWhileGraphOpen); otherwise every box is made to show what it stores
// (plat::showStoredValues), so that the values checked and written are the ones shown.
bool readyForFiles();

// Opens the command-line file as file `number` when it is one of this editor's, by its
// extension ("tez"); the path opened (the name as found on disk), or nothing. A file of this
// editor's that cannot be opened is named in a message as a `what` ("TEZ file").
std::optional<std::string> openStartfile(std::string_view extension, int number,
                                         const std::string& what);

// Loads, as file `number`, the file an editor shows when its window opens: its current file when
// it has one (a window opened again after it was closed shows the file it named), else the
// command-line file when it is one of this editor's (openStartfile). `read` reads the open file
// into the window. A file that cannot be opened or read is named in a message and let go
// (`current` emptied), so that the window is not taken for that file's. True when a file was
// read: only then is the window that file's.
bool loadOnOpening(std::string& current, std::string_view extension, int number,
                   const std::string& what, const std::function<bool()>& read);

// Reads the file open under `number` into `into` with `read` (a definition reader) and closes
// the file. A problem is shown in a message; true when the file was read. A caller that must
// change nothing on failure passes a copy.
template <class Data, class Read> bool readOpenFile(int number, Data& into, Read read) {
    plat::SeqFile& f = plat::fileNumber(number);
    const std::string fileName = f.path();
    const std::optional<std::string> problem = read(f, fileName, into);
    f.close();
    if (problem) {
        plat::msgBox(*problem);
        return false;
    }
    return true;
}

// Asks for a file to load into `name` under `number` and reads it with `read`. A file that could
// not be read leaves everything as it was, its name included. True when a file was read.
bool loadChosenFile(std::string& name, const std::string& title, const std::string& filter,
                    int number, const std::function<bool()>& read);

// Where a save ended. A name of its own for each, so that no test of a bare flag can take a failed
// write for a written one.
enum class SaveResult {
    // No file was opened: the dialog was cancelled (the name is emptied), or the file chosen
    // could not be opened (that has been said, and the name is kept). Nothing was written.
    cancelled,
    // The file was opened but its write failed: that has been said, the earlier file is kept and
    // the name and the folder go back with it.
    failed,
    written,
};

// Asks for a file to save `text` in under `name` and `number`, and writes it. The caller asked
// readyForFiles before it made `text`.
SaveResult saveChosenFile(std::string& name, const std::string& title, const std::string& filter,
                          int number, const std::string& text);

// ---- Year lists of the equilibrium and yield-per-recruit definitions -------------------------

// A year count typed: the leading number, whole, halves to even. A negative count or one beyond
// the 16-bit range is refused (nothing); above the list's length it is the list's length.
std::optional<int16_t> typedYearCount(const std::string& text);

// Ranges `bar` over the years 1..nyr and sets it on the year index, clamping the count to at
// least 1 and the index into it. `moving` is set while the bar is moved, so that its change
// handler stores nothing.
void showYearIndex(plat::HScrollBar& bar, bool& moving, int16_t& nyr, int16_t& iyr);

// Fills the years after the first with one more each, up to year `count`; a list that would pass
// the largest year keeps that year. False, and nothing filled, when the first year is below 1.
template <class Years> bool fillYearsOnward(Years& years, int count) {
    if (years(1) < 1) return false;
    for (int k = 2; k <= count; ++k)
        years(k) = int16_t(std::min<int>(years(k - 1) + 1, INT16_MAX));
    return true;
}

// ---- Graph edits of the fishery and index editors --------------------------------------------

// Edits the n points of a series by year, held in yplot: offers to set them to their mean (left
// in `mean`, 0 when none was set), then asks for the top of the axis and drags them on the graph
// over the years fyr..lyr. `title` titles the input boxes.
void editYearSeries(int n, const std::string& title, float& mean);

// Copies the season fractions of series k (a fishery or an index) from one year to another.
template <class Fractions> void copySeasons(Fractions& fractions, int k, int fromYear, int toYear) {
    const int n = std::clamp<int>(mc.nszns, 0, kMaxSeasons);
    for (int s = 1; s <= n; ++s)
        fractions(k, s, toYear) = fractions(k, s, fromYear);
}

// Edits one year's fractions of n seasons (1..12): set to their mean or dragged on the graph, then
// scaled to sum to 1. A single season takes the whole year.
void editSeasonFractions(int n, const std::function<float&(int season)>& fraction,
                         const char* ytitle);

} // namespace cw::editor
