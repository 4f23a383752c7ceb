#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "Texts.h"
#include "repair/Handlers.h"
#include "repair/Locator.h"
#include "tests/support/FakeRepair.h"

using namespace repair;
namespace text = services::text;
using testfake::Boxes;
using testfake::Installation;

namespace {

struct LocatorCase { const char* what; std::optional<std::string> value; const char* path; const char* root; };
const LocatorCase kLocator[] = {
    {"worked example", "D:\\e\\lib\\", "D:\\e\\lib\\", "D:\\e\\"},
    {"past lib", "D:\\e\\lib\\x", "D:\\e\\lib\\", "D:\\e\\"},
    {"no marker", "D:\\e\\", "D:\\e\\", ""},
    {"no value", std::nullopt, "", ""},
    {"empty value", "", "", ""},
    {"no backslash", "Path", "", ""},
    {"marker at the first byte", "lib\\x\\", "lib\\x\\", ""},
    {"capitals", "D:\\e\\LIB\\", "D:\\e\\LIB\\", ""},
    {"marker twice", "D:\\lib\\e\\lib\\", "D:\\lib\\e\\lib\\", "D:\\"},
    {"GBK directory, 0x5C trail", "D:\\\x81\x5C\\lib\\", "D:\\\x81\x5C\\lib\\", "D:\\\x81\x5C\\"},
    {"trail byte last", "D:\\e\\lib\\\x81\x5C", "D:\\e\\lib\\", "D:\\e\\"},
    {"stray lead before lib", "D:\\\xB0lib\\", "D:\\\xB0lib\\", ""},
    {"stray lead, lib again", "D:\\\xB0lib\\lib\\", "D:\\\xB0lib\\lib\\", "D:\\\xB0lib\\"},
};

TEST(Locator, InstallPathAndRoot) {
    for (const auto& c : kLocator) {
        SCOPED_TRACE(c.what);
        Installation env;
        env.registered = c.value;
        EXPECT_STREQ(GetInstallPath(env).c_str(), c.path);
        EXPECT_STREQ(InstallRoot(env).c_str(), c.root);
        EXPECT_EQ(std::string(LinkIniPath(env).c_str()), std::string(c.root) + "tools\\link.ini");
    }
}

TEST(Locator, ReadsTheRegistryAfreshEachTime) {
    Installation env;
    env.registered = "D:\\e\\lib\\";
    EXPECT_STREQ(InstallRoot(env).c_str(), "D:\\e\\");
    env.registered = "E:\\f\\lib\\";
    EXPECT_STREQ(InstallRoot(env).c_str(), "E:\\f\\");
}

TEST(TextBefore, AbsentForMissingOrLeadingMarker) {
    EXPECT_TRUE(TextBefore("D:\\e\\", "lib\\").IsAbsent());
    EXPECT_TRUE(TextBefore("lib\\x", "lib\\").IsAbsent());
    EXPECT_TRUE(TextBefore(nullptr, "lib\\").IsAbsent());
    EXPECT_STREQ(TextBefore("a lib\\ b lib\\", "lib\\").c_str(), "a ");
}

// An installation at D:\e\ whose link.ini holds `entry`.
Installation Installed(std::optional<std::string> entry) {
    Installation env;
    env.registered = "D:\\e\\lib\\";
    env.files["D:\\e\\tools\\link.ini"] = std::move(entry);
    return env;
}

constexpr char kIni[] = "D:\\e\\tools\\link.ini";
constexpr char kRight[] = "D:\\e\\VC98linker\\bin\\link.exe";

TEST(Gather, FillsThreeBoxesAndLeavesTheFourth) {
    Installation env = Installed("C:\\x\\link.exe");
    Boxes ui;
    ui[EditBox::Repaired] = "untouched";
    OnGatherInfoClicked(ui, env);
    EXPECT_EQ(ui[EditBox::Current], "linker=C:\\x\\link.exe");
    EXPECT_EQ(ui[EditBox::ConfigPath], kIni);
    EXPECT_EQ(ui[EditBox::InstallDir], "D:\\e\\");
    EXPECT_EQ(ui[EditBox::Repaired], "untouched");
    EXPECT_EQ(ui.status, text::kGatherSucceeded);
    EXPECT_EQ(env.writes, 0);

    OnGatherInfoClicked(ui, env);  // again: the same texts, nothing accumulates
    EXPECT_EQ(ui[EditBox::Current], "linker=C:\\x\\link.exe");
    EXPECT_EQ(ui[EditBox::ConfigPath], kIni);
}

TEST(Gather, ReportsFailureWhenNothingWasFound) {
    struct Case { const char* what; Installation env; const char* configPath; const char* installDir; };
    Installation noFile;
    noFile.registered = "D:\\e\\lib\\";
    const Case cases[] = {
        {"not installed", Installation{}, "tools\\link.ini", ""},
        {"no link.ini where the registry points", noFile, kIni, "D:\\e\\"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        Boxes ui;
        OnGatherInfoClicked(ui, c.env);
        EXPECT_EQ(ui[EditBox::Current], "linker=");  // the boxes are filled as ever
        EXPECT_EQ(ui[EditBox::ConfigPath], c.configPath);
        EXPECT_EQ(ui[EditBox::InstallDir], c.installDir);
        EXPECT_EQ(ui.status, text::kGatherFailed);
    }
    // The entry missing from an existing file is still an installation that was found.
    Installation noEntry = Installed(std::nullopt);
    Boxes ui;
    OnGatherInfoClicked(ui, noEntry);
    EXPECT_EQ(ui[EditBox::Current], "linker=");
    EXPECT_EQ(ui.status, text::kGatherSucceeded);
}

TEST(GatherOutcome, Table) {
    EXPECT_EQ(GatherOutcome(true, true, true), text::kGatherSucceeded);
    EXPECT_EQ(GatherOutcome(false, true, true), text::kGatherFailed);
    EXPECT_EQ(GatherOutcome(true, false, true), text::kGatherFailed);
    EXPECT_EQ(GatherOutcome(true, true, false), text::kGatherFailed);
}

TEST(Repair, RewritesAWrongEntryAndReadsItBack) {
    Installation env = Installed("C:\\old\\link.exe");
    Boxes ui;
    OnGatherInfoClicked(ui, env);
    OnRepairClicked(ui, env);
    EXPECT_EQ(env.files[kIni], std::optional<std::string>(kRight));
    EXPECT_EQ(ui[EditBox::Repaired], kRight);  // the bare path
    EXPECT_EQ(ui[EditBox::Current], "linker=C:\\old\\link.exe");
    EXPECT_EQ(ui.status, text::kRepairSucceeded);

    OnRepairClicked(ui, env);  // a second click finds it right
    EXPECT_EQ(env.writes, 1);
    EXPECT_EQ(ui[EditBox::Repaired], std::string("linker=") + kRight);
    EXPECT_EQ(ui.status, text::kAlreadyCorrect);
}

struct RepairCase {
    const char* what;
    std::optional<std::string> entry;
    const char* configPath;  // what 编辑框1 holds at the click (nullptr: as gathered)
    const char* installDir;  // what 编辑框2 holds at the click (nullptr: as gathered)
    bool readOnly;
    int writes;
    const char* target;
    std::optional<std::string> entryAfter;
    const char* repairedBox;
    const char* status;
};

const RepairCase kRepairs[] = {
    {"already correct", kRight, nullptr, nullptr, false, 0, "", kRight, "linker=D:\\e\\VC98linker\\bin\\link.exe",
     text::kAlreadyCorrect},
    {"differs in letter case", "d:\\e\\vc98linker\\bin\\link.exe", nullptr, nullptr, false, 1, kIni, kRight, kRight,
     text::kRepairSucceeded},
    {"entry missing", std::nullopt, nullptr, nullptr, false, 1, kIni, kRight, kRight, text::kRepairSucceeded},
    {"before gathering", "C:\\old\\link.exe", "", "", false, 0, "", "C:\\old\\link.exe", "C:\\old\\link.exe",
     text::kRepairFailed},
    {"another file typed", "C:\\old\\link.exe", "D:\\other.ini", nullptr, false, 1, "D:\\other.ini",
     "C:\\old\\link.exe", "C:\\old\\link.exe", text::kRepairFailed},
    {"another directory typed", "C:\\old\\link.exe", nullptr, "F:\\vc", false, 1, kIni, "F:\\vcVC98linker\\bin\\link.exe",
     "F:\\vcVC98linker\\bin\\link.exe", text::kRepairSucceeded},
    {"read-only file", "C:\\old\\link.exe", nullptr, nullptr, true, 0, kIni, "C:\\old\\link.exe", "C:\\old\\link.exe",
     text::kRepairFailed},
};

TEST(Repair, Cases) {
    for (const auto& c : kRepairs) {
        SCOPED_TRACE(c.what);
        Installation env = Installed(c.entry);
        env.readOnly[kIni] = c.readOnly;
        Boxes ui;
        OnGatherInfoClicked(ui, env);
        if (c.configPath) ui[EditBox::ConfigPath] = c.configPath;
        if (c.installDir) ui[EditBox::InstallDir] = c.installDir;
        OnRepairClicked(ui, env);
        EXPECT_EQ(env.writes, c.writes);
        EXPECT_EQ(env.lastTarget, c.target);
        EXPECT_EQ(env.files[kIni], c.entryAfter);
        EXPECT_EQ(ui[EditBox::Repaired], c.repairedBox);
        EXPECT_EQ(ui.status, c.status);
        EXPECT_EQ(ui.statusWrites, 2);  // one line from each click
    }
}

}  // namespace
