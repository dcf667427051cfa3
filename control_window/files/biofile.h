#pragma once
// The biological data file (*.bio): its writer and its reader.
//
// The reader fills a copy of the biology part of the data model and hands it back only when the
// whole file was read, so a bad or short file never leaves the editors half-loaded.
#include <cstdint>
#include <optional>
#include <string>

#include "control_window/model/maincode.h"

namespace plat {
class SeqFile;
}

namespace cw {

// Every value of the data model that a biology file holds.
struct BioData {
    int16_t nages = 0, nmorphs = 0, nsexes = 0, nszns = 0;
    std::string nspecies;
    int16_t ispszn = 0, irecruitszn = 0, isroption = 0;
    double isrslope = 0, itezrecruitment = 0, irecruitcv = 0;
    std::string ifecopt;
    int16_t nfeclng = 0;
    float minsiz = 0, maxlng = 0;
    double a_fec = 0, b_fec = 0;
    Bounded<float, 0, kMaxFecundity> fec;
    Bounded<float, 0, kMaxAge, 1, kMaxSexes> natmort;
    Bounded<float, 1, kMaxSexes> lwa, lwb, cvlng;
    Bounded<double, 1, kMaxSexes> vblinf, vbk, vbt0;
    Bounded<float, 1, kMaxSeasons> szngro;
    Bounded<float, 1, kMaxSeasons, 1, kMaxSexes> fyg;
    Bounded<float, 1, kMaxAge, 1, kMaxSexes> meanlng;
};

BioData bioDataFrom(const Maincode& m);
void storeBioData(Maincode& m, const BioData& d);

// What keeps this biology from being saved as a file that reads back the same in the control
// window and in the engine, as a message for the user; nothing when it can be saved.
std::optional<std::string> bioSaveProblem(const BioData& d);

// The whole file text, lines ended by CR LF. Call only when bioSaveProblem finds nothing.
std::string bioFileText(const BioData& d);

// Reads a whole biology file from f (open for input) into `into`, which should start as a copy of
// the data model so that the values the file does not cover keep what they held. On failure the
// result is the message to show (it names fileName and what was wrong) and `into` must be dropped.
std::optional<std::string> readBioFile(plat::SeqFile& f, const std::string& fileName,
                                       BioData& into);

} // namespace cw
