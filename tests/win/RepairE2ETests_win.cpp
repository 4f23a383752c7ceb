// The repair end to end: a fixture installation and registry value inside the test prefix,
// the program driven through its two buttons, the file compared byte for byte afterwards.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "Texts.h"
#include "app/MainWindowDef.h"
#include "services/files/Files.h"
#include "tests/win/Driver_win.h"
#include "tests/win/ProgramTest_win.h"

using namespace testing_win;
namespace text = services::text;

namespace {

constexpr char kRegistryKey[] = "Software\\FlySky\\E\\Install";
const std::string kOld = "[linker]\r\nlinker=C:\\old\\link.exe\r\n[other]\r\nkeep=1\r\n";

class RepairE2E : public ProgramTest {
protected:
    // Only ever inside the test prefix: each case starts with no installation registered.
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\FlySky"); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\FlySky"); }

    // An installation under the test directory: root\lib\ registered, root\tools\link.ini.
    std::string Install(const std::string& name, const std::string& linkIni, DWORD type = REG_SZ,
                        std::string registered = "") {
        root_ = dir / name + "\\";
        CreateDirectoryA(root_.c_str(), nullptr);
        CreateDirectoryA((root_ + "lib").c_str(), nullptr);
        CreateDirectoryA((root_ + "tools").c_str(), nullptr);
        EXPECT_TRUE(WriteFileBytes(Ini(), linkIni));
        if (registered.empty()) registered = root_ + "lib\\";
        Register(registered, type);
        return root_;
    }
    void Register(const std::string& value, DWORD type = REG_SZ) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    std::string Ini() const { return root_ + "tools\\link.ini"; }
    std::string Expected() const { return root_ + "VC98linker\\bin\\link.exe"; }

    std::string Box(int id) { return Driver::Text(driver.Control(id)); }
    void SetBox(int id, const std::string& value) { Driver::SetText(driver.Control(id), value); }
    std::string Status() { return driver.StatusText(driver.Control(app::kStatusBar1), 0); }
    void Gather() { Driver::Click(driver.Control(app::kButton2)); }
    void Repair() { Driver::Click(driver.Control(app::kButton1)); }

    std::string root_;
};

std::string WithEntry(const std::string& entry) {
    return "[linker]\r\nlinker=" + entry + "\r\n[other]\r\nkeep=1\r\n";
}

TEST_F(RepairE2E, NotInstalled) {
    ASSERT_TRUE(StartProgram());
    Gather();
    EXPECT_EQ(Box(app::kEditBox1), "tools\\link.ini");
    EXPECT_EQ(Box(app::kEditBox2), "");
    EXPECT_EQ(Box(app::kEditBox3), "linker=");
    EXPECT_EQ(Box(app::kEditBox4), "");
    EXPECT_EQ(Status(), text::kGatherFailed);
    Repair();
    EXPECT_EQ(Status(), text::kRepairFailed);
    EXPECT_FALSE(services::FileExists((dir / "tools").c_str()));
}

TEST_F(RepairE2E, WrongEntryIsRepaired) {
    Install("e", kOld);
    ASSERT_TRUE(StartProgram());
    Gather();
    EXPECT_EQ(Box(app::kEditBox1), Ini());
    EXPECT_EQ(Box(app::kEditBox2), root_);
    EXPECT_EQ(Box(app::kEditBox3), "linker=C:\\old\\link.exe");
    EXPECT_EQ(Status(), text::kGatherSucceeded);
    Repair();
    EXPECT_EQ(ReadFileBytes(Ini()), WithEntry(Expected()));  // every other line as it was
    EXPECT_EQ(Box(app::kEditBox4), Expected());
    EXPECT_EQ(Box(app::kEditBox3), "linker=C:\\old\\link.exe");
    EXPECT_EQ(Status(), text::kRepairSucceeded);

    const ULONGLONG written = WriteTime(Ini());
    Repair();  // the second click finds it right
    EXPECT_EQ(Status(), text::kAlreadyCorrect);
    EXPECT_EQ(Box(app::kEditBox4), "linker=" + Expected());
    EXPECT_EQ(WriteTime(Ini()), written);
}

TEST_F(RepairE2E, CorrectEntryIsLeftAlone) {
    const std::string root = dir / "e\\";
    Install("e", WithEntry(root + "VC98linker\\bin\\link.exe"));
    const ULONGLONG before = WriteTime(Ini());
    ASSERT_TRUE(StartProgram());
    Gather();
    Sleep(20);  // a write now would show in the time stamp
    Repair();
    EXPECT_EQ(Status(), text::kAlreadyCorrect);
    EXPECT_EQ(Box(app::kEditBox4), "linker=" + Expected());
    EXPECT_EQ(ReadFileBytes(Ini()), WithEntry(Expected()));
    EXPECT_EQ(WriteTime(Ini()), before);
}

struct Scenario {
    const char* what;
    const char* content;          // link.ini, with {root} standing for the install root
    bool gatherFirst;
    const char* typedConfigPath;  // typed into 编辑框1 before the repair (a name in the test dir)
    const char* typedInstallDir;  // typed into 编辑框2 before the repair
    bool writeProtected;
    const char* status;
};

const char kOldIni[] = "[linker]\r\nlinker=C:\\old\\link.exe\r\n[other]\r\nkeep=1\r\n";

const Scenario kScenarios[] = {
    {"differs only in letter case", "[linker]\r\nlinker={root}vc98LINKER\\bin\\link.exe\r\n[other]\r\nkeep=1\r\n",
     true, nullptr, nullptr, false, text::kRepairSucceeded},
    {"entry missing", "[linker]\r\n[other]\r\nkeep=1\r\n", true, nullptr, nullptr, false, text::kRepairSucceeded},
    {"repair before gather", kOldIni, false, nullptr, nullptr, false, text::kRepairFailed},
    {"another file typed", kOldIni, true, "typed.ini", nullptr, false, text::kRepairFailed},
    {"another directory typed", kOldIni, true, nullptr, "Q:\\vc\\", false, text::kRepairSucceeded},
    {"write-protected link.ini", kOldIni, true, nullptr, nullptr, true, text::kRepairFailed},
};

std::string Fill(std::string pattern, const std::string& root) {
    const std::string mark = "{root}";
    if (const auto at = pattern.find(mark); at != std::string::npos) pattern.replace(at, mark.size(), root);
    return pattern;
}

TEST_F(RepairE2E, Scenarios) {
    int n = 0;
    for (const auto& s : kScenarios) {
        SCOPED_TRACE(s.what);
        const std::string root = dir / ("s" + std::to_string(++n)) + "\\";
        Install("s" + std::to_string(n), Fill(s.content, root));
        const std::string expected =
            s.typedInstallDir ? std::string(s.typedInstallDir) + "VC98linker\\bin\\link.exe" : Expected();
        const std::string before = ReadFileBytes(Ini());
        Driver program;
        ASSERT_TRUE(StartProgram(program));
        if (s.gatherFirst) Driver::Click(program.Control(app::kButton2));
        const std::string typed = s.typedConfigPath ? dir / s.typedConfigPath : "";
        if (s.typedConfigPath) Driver::SetText(program.Control(app::kEditBox1), typed);
        if (s.typedInstallDir) Driver::SetText(program.Control(app::kEditBox2), s.typedInstallDir);
        if (s.writeProtected) {
            ASSERT_TRUE(SetImmutable(Ini(), true));
        }
        Driver::Click(program.Control(app::kButton1));
        if (s.writeProtected) {
            ASSERT_TRUE(SetImmutable(Ini(), false));
        }

        EXPECT_EQ(program.StatusText(program.Control(app::kStatusBar1), 0), s.status);
        if (s.status == text::kRepairSucceeded) {
            EXPECT_EQ(std::string(services::ReadProfileText(Ini().c_str(), "linker", "linker").c_str()), expected);
            EXPECT_EQ(Driver::Text(program.Control(app::kEditBox4)), expected);
        } else {
            EXPECT_EQ(ReadFileBytes(Ini()), before);  // the registry's file is untouched
        }
        if (s.typedConfigPath) {
            EXPECT_EQ(std::string(services::ReadProfileText(typed.c_str(), "linker", "linker").c_str()), expected);
        }
        PostMessageA(program.main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
}

TEST_F(RepairE2E, GbkInstallPathAndExpandableValue) {
    const std::string name = "\x81\x5C\xD2\xD7\xD3\xEF\xD1\xD4";  // 乗易语言
    Install(name, kOld, REG_EXPAND_SZ, "%QUILLORY_E2E_DIR%\\" + name + "\\lib\\");
    SetEnvironmentVariableA("QUILLORY_E2E_DIR", dir.path().c_str());  // the program inherits it
    ASSERT_TRUE(StartProgram());
    Gather();
    EXPECT_EQ(Box(app::kEditBox2), root_);
    EXPECT_EQ(Status(), text::kGatherSucceeded);
    Repair();
    EXPECT_EQ(Status(), text::kRepairSucceeded);
    EXPECT_EQ(ReadFileBytes(Ini()), WithEntry(Expected()));
}

TEST_F(RepairE2E, SpaceOnTheFocusedButtonRepairs) {
    Install("e", kOld);
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox1)));
    SetBox(app::kEditBox1, Ini());  // what gathering would show; a click would move the focus
    SetBox(app::kEditBox2, root_);
    driver.Key(VK_TAB);
    driver.Key(VK_TAB);
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kButton1)));
    driver.Key(VK_SPACE);
    for (int i = 0; i < 200 && Status() != text::kRepairSucceeded; ++i) Sleep(10);
    EXPECT_EQ(Status(), text::kRepairSucceeded);
    EXPECT_EQ(ReadFileBytes(Ini()), WithEntry(Expected()));
}

// Whatever the profile service makes of a hostile file, the program shows it, keeps running
// and writes the one entry.
TEST_F(RepairE2E, HostileLinkIni) {
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 64 * 1024; ++i) garbage += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    const std::string huge = "[linker]\r\nlinker=C:\\old\r\n" + std::string(10 * 1024 * 1024, 'z') + "\r\n";
    struct Case { const char* what; std::string content; };
    const Case cases[] = {
        {"binary garbage", garbage},
        {"10 MB", huge},
        {"20,000-byte value", "[linker]\r\nlinker=" + std::string(20000, 'v') + "\r\n"},
        {"section header without its bracket", "[linker\r\nlinker=C:\\old\r\n"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Install("h" + std::to_string(++n), c.content);
        const std::string shown = services::ReadProfileText(Ini().c_str(), "linker", "linker").c_str();
        Driver program;
        ASSERT_TRUE(StartProgram(program));
        Driver::Click(program.Control(app::kButton2));
        EXPECT_TRUE(Driver::Text(program.Control(app::kEditBox3)) == "linker=" + shown);
        Driver::Click(program.Control(app::kButton1));
        EXPECT_EQ(program.StatusText(program.Control(app::kStatusBar1), 0), text::kRepairSucceeded);
        EXPECT_EQ(std::string(services::ReadProfileText(Ini().c_str(), "linker", "linker").c_str()), Expected());
        EXPECT_TRUE(program.Running());
        PostMessageA(program.main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
}

}  // namespace
