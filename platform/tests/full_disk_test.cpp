// Saves onto a full disk: every writer keeps the earlier file byte for byte and says why it
// failed, for a file small enough to sit in the write buffer (it fails only at the last flush) and
// for one that fails while it is being written.
#include "common/testing/small_disk.h"
#include "file_support.h"
#include "platform/savefile.h"
#include "platform/seqfile.h"
#include "platform/surface.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

namespace {

using plattest::slurp;
using plattest::spit;

struct Writer {
    const char* name;
    // Writes `size` bytes over `path`; true when it reports success. `reason` gets the message or
    // error it gave.
    std::function<bool(const std::string& path, std::size_t size, std::string& reason)> write;
};

const Writer kWriters[] = {
    {"numbered file",
     [](const std::string& path, std::size_t size, std::string& reason) {
         plat::SeqFile& f = plat::fileNumber(6);
         if (!f.openOutput(path)) {
             reason = f.error();
             return false;
         }
         f.print(std::string(size, 'x'));
         plat::testing::ScriptedUser user;
         user.custom([&](const plat::testing::PromptRecord& r) {
             reason = r.text;
             return "OK";
         });
         return f.close();
     }},
    {"whole file",
     [](const std::string& path, std::size_t size, std::string& reason) {
         return plat::writeFileWhole(path, std::string(size, 'x'), reason);
     }},
    {"copy",
     [](const std::string& path, std::size_t size, std::string& reason) {
         QTemporaryDir elsewhere;
         const std::string from = elsewhere.filePath("from.tez").toStdString();
         spit(from, std::string(size, 'x'));
         return plat::copyFile(from, path, &reason);
     }},
};

TEST(FullDisk, EveryWriterKeepsTheEarlierFileAndSaysWhy) {
    for (const std::size_t size : {std::size_t(200), std::size_t(1) << 20}) {
        for (const Writer& w : kWriters) {
            SCOPED_TRACE(std::string(w.name) + ", " + std::to_string(size) + " bytes");
            vesktest::SmallDisk disk(256 * 1024);
            VESK_NEED_SMALL_DISK(disk);
            const std::string target = disk.path("snapper.mgt");
            const std::string earlier(13 * 1024, 'e');
            spit(target, earlier);
            disk.fill();
            std::string reason;
            EXPECT_FALSE(w.write(target, size, reason));
            EXPECT_NE(reason.find("No space left on device"), std::string::npos) << reason;
            EXPECT_EQ(slurp(target), earlier);
        }
    }
}

TEST(FullDisk, APlotBitmapKeepsTheEarlierFile) {
    vesktest::SmallDisk disk(64 * 1024);
    VESK_NEED_SMALL_DISK(disk);
    const std::string target = disk.path("plot.bmp");
    spit(target, "earlier");
    disk.fill();
    plat::Surface s;
    s.resize(200, 100);
    std::string reason;
    EXPECT_FALSE(s.savePicture(target, &reason));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(slurp(target), "earlier");
}

} // namespace
