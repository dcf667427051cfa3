// The shared data model and the small services of the module: bounds, reset, variants, the
// engines' folder, command-line names and the registry look-up of the About box.
#include "cw_fixture.h"

#include "control_window/model/maincode.h"
#include "control_window/windows/dialogs.h"
#include "platform/testing/scripted_user.h"

#include <filesystem>
#include <map>
#include <vector>

namespace {

using cw::mc;
using cwtest::CwTest;

TEST(BoundedArray, IndexesFromItsLowerBoundsAndRefusesEverythingOutside) {
    cw::Bounded<float, 0, 100, 1, 2> natmort;
    natmort(0, 1) = 1.5f;
    natmort(100, 2) = 2.5f;
    EXPECT_EQ(natmort(0, 1), 1.5f);
    EXPECT_EQ(natmort(100, 2), 2.5f);
    EXPECT_EQ(natmort(1, 1), 0.0f);
    EXPECT_EQ(natmort.size(), 202u);
    EXPECT_THROW(natmort(-1, 1), std::out_of_range);
    EXPECT_THROW(natmort(101, 1), std::out_of_range);
    EXPECT_THROW(natmort(0, 0), std::out_of_range);
    EXPECT_THROW(natmort(0, 3), std::out_of_range);
    EXPECT_TRUE(natmort.inBounds(100, 2));
    EXPECT_FALSE(natmort.inBounds(100, 3));

    cw::Bounded<int16_t, 1, 10> one;
    one[10] = 7;
    EXPECT_EQ(one(10), 7);
    EXPECT_THROW(one[0], std::out_of_range);
    EXPECT_THROW(one[11], std::out_of_range);
}

TEST(BoundedArray, FourDimensionsDoNotOverlap) {
    // Each element of the largest arrays has storage of its own.
    auto& sel = mc.f_sel;
    sel(1, 0, 1, 1) = 1;
    sel(10, 100, 2, 250) = 2;
    sel(1, 0, 1, 2) = 3;
    sel(1, 0, 2, 1) = 4;
    sel(1, 1, 1, 1) = 5;
    sel(2, 0, 1, 1) = 6;
    EXPECT_EQ(sel(1, 0, 1, 1), 1);
    EXPECT_EQ(sel(10, 100, 2, 250), 2);
    EXPECT_EQ(sel(1, 0, 1, 2), 3);
    EXPECT_EQ(sel(1, 0, 2, 1), 4);
    EXPECT_EQ(sel(1, 1, 1, 1), 5);
    EXPECT_EQ(sel(2, 0, 1, 1), 6);
    EXPECT_THROW(sel(11, 0, 1, 1), std::out_of_range);
    EXPECT_THROW(sel(1, 0, 1, 251), std::out_of_range);
    cw::resetMaincode();
}

TEST(DataModel, LimitsOfTheArrays) {
    EXPECT_EQ(mc.xplot.lower(), 0);
    EXPECT_EQ(mc.xplot.upper(), 251);
    EXPECT_EQ(mc.natmort.lower(0), 0);
    EXPECT_EQ(mc.natmort.upper(0), 100);
    EXPECT_EQ(mc.meanlng.lower(0), 1);
    EXPECT_EQ(mc.meanlng.upper(0), 100);
    EXPECT_EQ(mc.fec.upper(), 250);
    EXPECT_EQ(mc.fyg.upper(0), 12);
    EXPECT_EQ(mc.f_annf.upper(0), 250);
    EXPECT_EQ(mc.f_annf.upper(1), 10);
    EXPECT_EQ(mc.f_regs.upper(0), 3);
    EXPECT_EQ(mc.i_sznfract.upper(1), 12);
    EXPECT_EQ(mc.i_sel.lower(1), 0);
}

TEST(DataModel, ResetPutsEveryKindOfValueBackInPlace) {
    float* const storage = &mc.yplot[1];
    mc.nages = 12;
    mc.npts = 12;
    mc.biofile = "x.bio";
    mc.yplot[1] = 3;
    mc.natmort(100, 2) = 0.2f;
    mc.myoy = 5.0;
    mc.f_seltyp[3] = "L";
    mc.i_type[2] = "N";
    mc.a_sampsize[1] = 40.0;
    mc.isrslope = 1.5;

    cw::resetMaincode();

    EXPECT_EQ(mc.nages, 0);
    EXPECT_EQ(mc.npts, 0);
    EXPECT_EQ(mc.biofile, "");
    EXPECT_EQ(mc.yplot[1], 0);
    EXPECT_EQ(mc.natmort(100, 2), 0);
    EXPECT_TRUE(mc.myoy.isEmpty());
    EXPECT_TRUE(mc.f_minlng[1].isEmpty());
    EXPECT_TRUE(mc.f_fscaler.isEmpty());
    EXPECT_TRUE(mc.f_seltyp[3] == " ");
    EXPECT_EQ(mc.i_type[2], "");
    EXPECT_TRUE(mc.a_sampsize[1].isEmpty());
    EXPECT_EQ(mc.isrslope, 0);
    // The arrays keep their storage, so nothing pointing into them dangles.
    EXPECT_EQ(&mc.yplot[1], storage);
}

TEST(Variant, KeepsEmptyUntilAssignedAndKeepsTheKindStored) {
    cw::Variant v;
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(v.number(), 0);
    EXPECT_EQ(v.text(), "");
    v = 0.5;
    EXPECT_EQ(v.kind(), cw::Variant::Kind::Double);
    EXPECT_EQ(v.text(), "0.5");
    v = int16_t(-3);
    EXPECT_EQ(v.kind(), cw::Variant::Kind::Integer);
    EXPECT_EQ(v.number(), -3);
    v = 70000; // too large for 16 bits
    EXPECT_EQ(v.kind(), cw::Variant::Kind::Double);
    EXPECT_EQ(v.number(), 70000);
    v = "12abc";
    EXPECT_EQ(v.kind(), cw::Variant::Kind::Text);
    EXPECT_EQ(v.number(), 12);
    v.clear();
    EXPECT_TRUE(v.isEmpty());
}

TEST(Char1, HoldsExactlyOneBlankPaddedCharacter) {
    cw::Char1 c;
    EXPECT_EQ(c.str(), " ");
    c = "Length";
    EXPECT_EQ(c.str(), "L");
    EXPECT_TRUE(c == "L");
    EXPECT_FALSE(c == "Length");
    c = "";
    EXPECT_EQ(c.str(), " ");
}

TEST(EngineFolder, GetsATrailingSeparatorOrTheDefault) {
    EXPECT_EQ(cw::engineFolder("D:\\eng\\"), "D:\\eng\\");
    EXPECT_EQ(cw::engineFolder("/opt/vesk/"), "/opt/vesk/");
#ifdef _WIN32
    EXPECT_EQ(cw::engineFolder(""), "C:\\Program Files\\VESK\\");
    EXPECT_EQ(cw::engineFolder("D:\\eng"), "D:\\eng\\");
#else
    EXPECT_EQ(cw::engineFolder(""), plat::folderOfRunningProgram() + "/");
    EXPECT_EQ(cw::engineFolder("/opt/vesk"), "/opt/vesk/");
#endif
}

// A registry that holds a few values and counts its open keys.
class FakeRegistry : public plat::RegistryApi {
  public:
    struct Value {
        uint32_t type;
        std::vector<unsigned char> bytes;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    int open = 0;
    uint32_t lastAccess = 0;

    long openKey(uintptr_t root, const std::string& subKey, uint32_t access,
                 uintptr_t* handle) override {
        lastAccess = access;
        if (root != plat::kHkeyLocalMachine || !keys.count(subKey)) return 2;
        names_.push_back(subKey);
        *handle = names_.size();
        ++open;
        return 0;
    }
    long queryValue(uintptr_t handle, const std::string& valueName, uint32_t* type,
                    unsigned char* data, uint32_t* size) override {
        const auto& key = keys.at(names_.at(handle - 1));
        const auto it = key.find(valueName);
        if (it == key.end()) return 2;
        if (it->second.bytes.size() > *size) return 234;
        std::copy(it->second.bytes.begin(), it->second.bytes.end(), data);
        *size = uint32_t(it->second.bytes.size());
        *type = it->second.type;
        return 0;
    }
    long closeKey(uintptr_t) override {
        --open;
        return 0;
    }

    static Value text(const std::string& s, bool terminated = true) {
        Value v{1, std::vector<unsigned char>(s.begin(), s.end())};
        if (terminated) v.bytes.push_back(0);
        return v;
    }
    static Value dword(uint32_t n) {
        return {4,
                {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                 static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)}};
    }

  private:
    std::vector<std::string> names_;
};

class RegistryTest : public CwTest {
  protected:
    void SetUp() override {
        CwTest::SetUp();
        plat::setRegistry(&reg);
    }
    FakeRegistry reg;
};

TEST_F(RegistryTest, GetKeyValueReadsTextAndNumbers) {
    auto& key = reg.keys["SOFTWARE\\Tools"];
    key["terminated"] = FakeRegistry::text("C:\\Tools\\info.exe");
    key["bare"] = FakeRegistry::text("abc", false);
    key["five"] = FakeRegistry::dword(5);
    key["big"] = FakeRegistry::dword(0x01020304);
    key["top"] = FakeRegistry::dword(0x80000000u);
    key["binary"] = {3, {1, 2, 3}};
    key["empty"] = {1, {}};

    const struct {
        const char* value;
        const char* expected;
    } cases[] = {
        {"terminated", "C:\\Tools\\info.exe"},
        {"bare", "abc"},
        {"five", "5"},
        {"big", "16909060"},
        {"top", "2147483648"},
        {"binary", "unchanged"}, // a type it does not convert leaves the text as it was
        {"empty", ""},
    };
    for (const auto& c : cases) {
        std::string out = "unchanged";
        EXPECT_TRUE(cw::GetKeyValue(plat::kHkeyLocalMachine, "SOFTWARE\\Tools", c.value, out))
            << c.value;
        EXPECT_EQ(out, c.expected) << c.value;
    }
    EXPECT_EQ(reg.lastAccess, 0x2003Fu);
    EXPECT_EQ(reg.open, 0);
}

TEST_F(RegistryTest, GetKeyValueFailsOnAMissingKeyOrValue) {
    reg.keys["SOFTWARE\\Tools"]["present"] = FakeRegistry::text("x");
    std::string out = "old";
    EXPECT_FALSE(cw::GetKeyValue(plat::kHkeyLocalMachine, "SOFTWARE\\Missing", "present", out));
    EXPECT_EQ(out, "");
    out = "old";
    EXPECT_FALSE(cw::GetKeyValue(plat::kHkeyLocalMachine, "SOFTWARE\\Tools", "absent", out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(reg.open, 0);
}

TEST_F(RegistryTest, SystemInformationIsUnavailableWithoutTheTool) {
    {
        plat::testing::ScriptedUser user;
        user.message("System Information Is Unavailable At This Time");
        cw::StartSysInfo();
        ASSERT_EQ(user.seen().size(), 1u);
        EXPECT_FALSE(user.seen()[0].title.has_value()); // the application's default title
    }
    // The tool's folder is named, but the tool is not in it.
    reg.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] =
        FakeRegistry::text(path("nothing"));
    {
        plat::testing::ScriptedUser user;
        user.message("System Information Is Unavailable At This Time");
        cw::StartSysInfo();
    }
    // A path that names no program.
    reg.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] =
        FakeRegistry::text(path("no-such-program"));
    {
        plat::testing::ScriptedUser user;
        user.message("System Information Is Unavailable At This Time");
        cw::StartSysInfo();
    }
}

#ifndef _WIN32
TEST_F(RegistryTest, SystemInformationStartsTheToolItFinds) {
    // The tool's own path.
    reg.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = FakeRegistry::text("/bin/true");
    {
        plat::testing::ScriptedUser user; // no message expected
        cw::StartSysInfo();
        EXPECT_TRUE(user.seen().empty());
    }
    // The tool's folder: the tool is that folder followed by "\MSINFO32.EXE".
    reg.keys.clear();
    const std::string tool = path("tools\\MSINFO32.EXE");
    std::filesystem::create_symlink("/bin/true", tool);
    reg.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] =
        FakeRegistry::text(path("tools"));
    {
        plat::testing::ScriptedUser user;
        cw::StartSysInfo();
        EXPECT_TRUE(user.seen().empty());
    }
}
#endif

} // namespace
