#pragma once
// The fishery definition file (*.fst), which only the control window reads, and the management
// export (*.mgt), the form in which the fisheries reach the engines.
//
// The reader fills a copy of the fishery part of the data model and hands it back only when the
// whole file was read, so a bad or short file never leaves the editors half-loaded. Both writers
// first say what keeps the data from being written as a file that reads back the same.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

// Every value of the data model that a fishery definition file holds.
struct FisheryData {
    int16_t fyr = 0, lyr = 0, nsexes = 0, nszns = 0, nages = 0, ngear = 0;
    float fcv = 0;
    Bounded<float, 1, kMaxYears, 1, kMaxFisheries> f_tac, f_annf;
    Bounded<Char1, 1, kMaxFisheries> f_seltyp;
    Bounded<float, 1, kMaxFisheries> f_nlng, f_mxlng, f_minvulsiz;
    Bounded<Variant, 1, kMaxFisheries> f_minlng;
    Bounded<float, 1, kMaxFisheries, 0, kMaxAge, 1, kMaxSexes, 1, kMaxYears> f_sel;
    Bounded<float, 1, kMaxFisheries, 1, kMaxSeasons, 1, kMaxYears> f_sznfract;
    Bounded<float, 1, 3, 1, kMaxFisheries, 1, kMaxYears> f_regs;
};

FisheryData fisheryDataFrom(const Maincode& m);
void storeFisheryData(Maincode& m, const FisheryData& d);

// The number of length bins that a bin count stands for: the nearest whole number, halves to
// even; nothing when the count is not a finite number within the 16-bit range.
std::optional<int> binCount(float f_nlng);

// What keeps the definition from being saved as a file that reads back the same, as a message
// for the user; nothing when it can be saved.
std::optional<std::string> fstSaveProblem(const FisheryData& d);
// The whole file text, lines ended by CR LF. Call only when fstSaveProblem finds nothing.
std::string fstFileText(const FisheryData& d);
// Reads a whole fishery definition file from f (open for input) into `into`, which should start
// as a copy of the data model. On failure the result is the message to show (it names fileName
// and what was wrong) and `into` must be dropped.
std::optional<std::string> readFstFile(plat::SeqFile& f, const std::string& fileName,
                                       FisheryData& into);

// What keeps the fisheries from being exported for nyrs years as a file that the engines read
// back as written, as a message for the user; nothing when they can be exported.
std::optional<std::string> mgtExportProblem(const FisheryData& d, int nyrs);
// The first line of the export: the total F randomization scalar.
std::string mgtHeaderText(const FisheryData& d);
// The body of one year block, from the fishery count to the last fishery's discard mortality,
// with the data of year index dataYear. The fishery editor's export writes the blocks itself, one
// year line and one body at a time, as its progress bar shows them.
std::string mgtBlockBody(const FisheryData& d, int dataYear);
// The same body added to the end of a text.
void appendMgtBlockBody(std::string& text, const FisheryData& d, int dataYear);

// The block bodies of the data years 1..nyrs, formatted on the machine's cores a few years ahead
// of the export that writes them, so that the largest export takes a fraction of the time one
// thread takes. The data stay here, unchanged, until the last worker has ended.
class MgtBlockBodies {
  public:
    MgtBlockBodies(std::unique_ptr<const FisheryData> data, int nyrs);
    ~MgtBlockBodies();
    MgtBlockBodies(const MgtBlockBodies&) = delete;
    MgtBlockBodies& operator=(const MgtBlockBodies&) = delete;

    // The body of data year dataYear (1..nyrs), waiting until it is formatted. Years are asked
    // for in rising order, a year perhaps twice; asking for one drops the bodies before it.
    const std::string& body(int dataYear);

  private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace cw
