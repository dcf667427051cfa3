#pragma once
// The index definition file (*.ndf): its writer and its reader.
//
// The reader fills a copy of the index part of the data model and hands it back only when the
// whole file was read, so a bad or short file never leaves the index editor half-loaded.
#include <cstdint>
#include <optional>
#include <string>

#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

// Every value that an index file holds: the editor's number of indices, the shared years and
// dimensions, and the data model's index variables.
struct IndexData {
    int16_t nindices = 0;
    int16_t fyr = 0, lyr = 0, nsexes = 0, nages = 0, nszns = 0;
    Bounded<int16_t, 1, kMaxIndices> i_assoc;
    Bounded<float, 1, kMaxIndices> i_meanq;
    Bounded<std::string, 1, kMaxIndices> i_outfile, i_type;
    Bounded<float, 1, kMaxIndices> i_err, i_ferr, l_sampsize, l_err;
    Bounded<Variant, 1, kMaxIndices> a_sampsize;
    Bounded<float, 1, kMaxIndices> a_err;
    Bounded<float, 1, kMaxIndices, 1, kMaxYears> i_q;
    Bounded<Char1, 1, kMaxIndices> i_seltyp;
    Bounded<float, 1, kMaxIndices> i_nlngs, i_minlng, i_mxlng;
    Bounded<float, 1, kMaxIndices, 0, kMaxAge, 1, kMaxSexes, 1, kMaxYears> i_sel;
    Bounded<float, 1, kMaxIndices, 1, kMaxSeasons, 1, kMaxYears> i_sznfract;
};

IndexData indexDataFrom(const Maincode& m, int16_t nindices);
// Stores everything but the number of indices, which belongs to the editor.
void storeIndexData(Maincode& m, const IndexData& d);

// The number of length bins of a length-based selectivity: the interval count rounded to a
// whole number, halves to even; -1 when it is no number in the 16-bit range.
int indexBins(float nlngs);

// What keeps this definition from being saved as a file that reads back the same, as a message
// for the user; nothing when it can be saved.
std::optional<std::string> indexSaveProblem(const IndexData& d);

// The whole file text, lines ended by CR LF. Call only when indexSaveProblem finds nothing.
std::string indexFileText(const IndexData& d);

// Reads a whole index file from f (open for input) into `into`, which should start as a copy of
// the current values so that what the file does not cover keeps what it held. On failure the
// result is the message to show (it names fileName and what was wrong) and `into` must be
// dropped.
std::optional<std::string> readIndexFile(plat::SeqFile& f, const std::string& fileName,
                                         IndexData& into);

} // namespace cw
