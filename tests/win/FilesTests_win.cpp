// Files, profiles and the registry against Wine's implementation of the Windows calls.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "services/files/Files.h"
#include "tests/win/Fixture_win.h"

using namespace services;
using testing_win::HeldOpen;
using testing_win::ReadFileBytes;
using testing_win::SetImmutable;
using testing_win::TempDirectory;
using testing_win::WriteFileBytes;

namespace {

// A byte set built at run time, for payloads of any size.
std::vector<unsigned char> MakeByteSet(const std::string& data) {
    std::vector<unsigned char> set = {1, 0, 0, 0};
    const auto n = static_cast<std::uint32_t>(data.size());
    for (int shift = 0; shift < 32; shift += 8) set.push_back(static_cast<unsigned char>(n >> shift));
    set.insert(set.end(), data.begin(), data.end());
    return set;
}

class Immutable {
public:
    explicit Immutable(std::string path) : path_(std::move(path)), ok_(SetImmutable(path_, true)) {}
    ~Immutable() { SetImmutable(path_, false); }
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_;
};

DWORD HandleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

// ---- Run directory ---------------------------------------------------------------------

TEST(RunDirectory, IsTheExecutablesDirectoryAndTheCurrentOne) {
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    InitRunDirectory();
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string want = exe;
    want.resize(want.rfind('\\'));
    const Text first = GetRunDirectory();
    const Text second = GetRunDirectory();
    EXPECT_EQ(std::string(first.c_str()), want);
    EXPECT_NE(first.c_str(), second.c_str());  // a fresh copy each call
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STRCASEEQ(current, want.size() == 2 ? (want + "\\").c_str() : want.c_str());
    SetCurrentDirectoryA(saved);
}

// ---- Files -----------------------------------------------------------------------------

TEST(FileExists, Table) {
    TempDirectory dir;
    ASSERT_TRUE(WriteFileBytes(dir / "plain.dll", "x"));
    ASSERT_TRUE(WriteFileBytes(dir / "hidden.txt", "x"));
    SetFileAttributesA((dir / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryA((dir / "sub").c_str(), nullptr);
    struct Case { std::string name; bool want; };
    const Case cases[] = {
        {dir / "plain.dll", true},  {dir / "hidden.txt", true}, {dir / "sub", true},
        {dir / "*.dll", true},      {dir / "plai?.dll", true},  {dir / "*.exe", false},
        {dir / "missing", false},   {dir / "nodir\\x", false},  {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileExists(c.name.c_str()), c.want);
    }
}

TEST(SetFileAttributeFlags, ReplacesTheWholeSetMaskedWith39) {
    TempDirectory dir;
    const std::string file = dir / "f.dll";
    struct Case { std::int32_t flags; DWORD want; };
    const Case cases[] = {{2, FILE_ATTRIBUTE_HIDDEN}, {258, FILE_ATTRIBUTE_HIDDEN}, {4 | 1, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        ASSERT_TRUE(WriteFileBytes(file, "x"));
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM);
        EXPECT_TRUE(SetFileAttributeFlags(file.c_str(), c.flags));
        // Wine reports the archive bit on every file: look at the three that matter.
        constexpr DWORD kMeant = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        EXPECT_EQ(GetFileAttributesA(file.c_str()) & kMeant, c.want);
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(SetFileAttributeFlags((dir / "missing").c_str(), 2));
}

TEST(WriteWholeFile, WritesExactlyTheDataAndTruncates) {
    TempDirectory dir;
    const std::string file = dir / "out.bin";
    const std::string big(3 * 1024 * 1024 + 7, '\xA5');
    const auto bigSet = MakeByteSet(big);
    const auto small = MakeByteSet("abc");
    const auto tail = MakeByteSet(std::string("\0\x01\xFF", 3));

    EXPECT_TRUE(WriteWholeFile(file.c_str(), {bigSet.data()}));
    EXPECT_TRUE(ReadFileBytes(file) == big);
    EXPECT_TRUE(WriteWholeFile(file.c_str(), {small.data(), kEmptyByteSet, tail.data()}));
    EXPECT_EQ(ReadFileBytes(file), std::string("abc\0\x01\xFF", 6));  // the longer file was cut
    EXPECT_TRUE(WriteWholeFile(file.c_str(), {kEmptyByteSet}));
    EXPECT_EQ(ReadFileBytes(file), "");
}

TEST(WriteWholeFile, FailuresTouchNothing) {
    TempDirectory dir;
    const auto data = MakeByteSet("new");
    EXPECT_FALSE(WriteWholeFile("", {data.data()}));
    EXPECT_FALSE(WriteWholeFile((dir / "missing\\out.bin").c_str(), {data.data()}));

    const std::string held = dir / "held.bin";
    ASSERT_TRUE(WriteFileBytes(held, "old"));
    {
        HeldOpen lock(held);
        ASSERT_TRUE(lock.ok());
        EXPECT_FALSE(WriteWholeFile(held.c_str(), {data.data()}));
    }
    EXPECT_EQ(ReadFileBytes(held), "old");

    const std::string frozen = dir / "frozen.bin";
    ASSERT_TRUE(WriteFileBytes(frozen, "old"));
    {
        Immutable guard(frozen);
        ASSERT_TRUE(guard.ok());
        EXPECT_FALSE(WriteWholeFile(frozen.c_str(), {data.data()}));
    }
    EXPECT_EQ(ReadFileBytes(frozen), "old");

    const std::string frozenDir = dir / "frozen-dir";
    CreateDirectoryA(frozenDir.c_str(), nullptr);
    {
        Immutable guard(frozenDir);
        ASSERT_TRUE(guard.ok());
        EXPECT_FALSE(WriteWholeFile((frozenDir + "\\x.bin").c_str(), {data.data()}));
        EXPECT_FALSE(FileExists((frozenDir + "\\x.bin").c_str()));
    }
}

// ---- Registry --------------------------------------------------------------------------

// A key of the test's own under HKCU, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = "Software\\QuilloryTest\\" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuilloryTest");
    }
    void Set(const std::string& name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    std::string Read(const std::string& name, const char* fallback = nullptr, int root = 3) {
        return ReadRegistryText(root, (path_ + "\\" + name).c_str(), fallback).c_str();
    }

    std::string path_;
    HKEY key_ = nullptr;
};

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

TEST_F(RegistryTest, TypesAndShapes) {
    const std::string big(100 * 1024, 'b');
    SetEnvironmentVariableA("QUILLORY_BIG", std::string(10000, 'x').c_str());
    SetEnvironmentVariableA("QUILLORY_GBK", "\xD2\xD7\xD3\xEF\xD1\xD4\xD2\xD7\xD3\xEF\xD1\xD4");  // 易语言易语言
    struct Case { const char* name; DWORD type; std::string data; std::string want; };
    const Case cases[] = {
        {"sz", REG_SZ, Sz("D:\\e\\lib\\"), "D:\\e\\lib\\"},
        {"no-nul", REG_SZ, "D:\\e\\lib\\", "D:\\e\\lib\\"},
        {"empty", REG_SZ, Sz(""), ""},
        {"zero-bytes", REG_SZ, "", "dflt"},
        {"inner-nul", REG_SZ, std::string("ab\0cd", 6), "ab"},
        {"big", REG_SZ, Sz(big), big},
        {"gbk", REG_SZ, Sz("D:\\\x81\x5C\\lib\\"), "D:\\\x81\x5C\\lib\\"},
        {"expand", REG_EXPAND_SZ, Sz("%SystemDrive%\\e\\lib\\"), "C:\\e\\lib\\"},
        {"expand-unknown", REG_EXPAND_SZ, Sz("%QUILLORY_NO_SUCH%\\x"), "%QUILLORY_NO_SUCH%\\x"},
        {"expand-big", REG_EXPAND_SZ, Sz("%QUILLORY_BIG%%QUILLORY_BIG%"), std::string(20000, 'x')},
        // Past the platform's 32K limit the expansion comes back cut: that is no path at all.
        {"expand-past-limit", REG_EXPAND_SZ, Sz("%QUILLORY_BIG%%QUILLORY_BIG%%QUILLORY_BIG%%QUILLORY_BIG%"), "dflt"},
        {"expand-gbk", REG_EXPAND_SZ, Sz("D:\\%QUILLORY_GBK%\\lib\\"),
         "D:\\\xD2\xD7\xD3\xEF\xD1\xD4\xD2\xD7\xD3\xEF\xD1\xD4\\lib\\"},
        {"expand-empty", REG_EXPAND_SZ, Sz(""), ""},
        {"multi", REG_MULTI_SZ, Sz("a") + Sz("b") + '\0', "dflt"},
        {"dword", REG_DWORD, std::string("\x01\0\0\0", 4), "dflt"},
        {"qword", REG_QWORD, std::string(8, '\x01'), "dflt"},
        {"binary", REG_BINARY, "D:\\e\\lib\\", "dflt"},
        {"\x81\x5C", REG_SZ, Sz("gbk name"), "gbk name"},  // a value name whose trail byte is 0x5C
    };
    for (const auto& c : cases) Set(c.name, c.type, c.data);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string got = Read(c.name, "dflt");
        EXPECT_EQ(got.size(), c.want.size());
        EXPECT_TRUE(got == c.want) << got.substr(0, 64);
    }
    EXPECT_EQ(Read("missing", "dflt"), "dflt");
    EXPECT_EQ(Read("missing"), "");
    EXPECT_EQ(Read("dword"), "");
    EXPECT_EQ(ReadRegistryText(3, "Software\\QuilloryNoSuchKey\\Path", "dflt").c_str(), std::string("dflt"));
}

TEST_F(RegistryTest, RootNumbersAndPathShapes) {
    Set("sz", REG_SZ, Sz("here"));
    Set("", REG_SZ, Sz("unnamed"));
    for (const int root : {3, 0, 6, -1, 1000}) {
        SCOPED_TRACE(root);
        EXPECT_EQ(Read("sz", nullptr, root), "here");  // every other number means HKCU
    }
    for (const int root : {1, 2, 4, 5}) {
        SCOPED_TRACE(root);
        EXPECT_EQ(Read("sz", "elsewhere", root), "elsewhere");
    }
    EXPECT_EQ(Read(""), "unnamed");  // a path ending in a backslash names the unnamed value
    char version[64] = {};
    DWORD size = sizeof version;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion",
                           RRF_RT_REG_SZ, nullptr, version, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(ReadRegistryText(4, "Software\\Microsoft\\Windows NT\\CurrentVersion\\CurrentVersion").c_str()),
              version);

    // A path without a backslash reads a value straight under the hive.
    ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "QuilloryTestTop", 0, REG_SZ, reinterpret_cast<const BYTE*>("top"), 4),
              ERROR_SUCCESS);
    EXPECT_STREQ(ReadRegistryText(3, "QuilloryTestTop").c_str(), "top");
    RegDeleteValueA(HKEY_CURRENT_USER, "QuilloryTestTop");
}

// ---- Profiles --------------------------------------------------------------------------

std::string ProfileRead(const std::string& file, const char* section = "linker", const char* key = "linker",
                        const char* fallback = nullptr) {
    return ReadProfileText(file.c_str(), section, key, fallback).c_str();
}

TEST(ReadProfileText, Table) {
    TempDirectory dir;
    const std::string long20k(20000, 'v');
    struct Case { const char* what; std::string content; const char* section; const char* key; std::string want; };
    const Case cases[] = {
        {"plain", "[linker]\r\nlinker=C:\\x\\link.exe\r\n", "linker", "linker", "C:\\x\\link.exe"},
        {"LF endings", "[linker]\nlinker=C:\\x\\link.exe\n", "linker", "linker", "C:\\x\\link.exe"},
        {"other case", "[LINKER]\r\nLinker=C:\\x\r\n", "linker", "linker", "C:\\x"},
        {"blanks around =", "[linker]\r\n  linker   =   C:\\x  \r\n", "linker", "linker", "C:\\x"},
        {"quoted", "[linker]\r\nlinker=\"C:\\x y\"\r\n", "linker", "linker", "C:\\x y"},
        {"missing section", "[other]\r\nlinker=C:\\x\r\n", "linker", "linker", "dflt"},
        {"missing key", "[linker]\r\nother=C:\\x\r\n", "linker", "linker", "dflt"},
        {"empty file", "", "linker", "linker", "dflt"},
        {"no closing bracket", "[linker\r\nlinker=C:\\x\r\n", "linker", "linker", "dflt"},
        {"GBK value", "[linker]\r\nlinker=D:\\\x81\x5C\\link.exe\r\n", "linker", "linker", "D:\\\x81\x5C\\link.exe"},
        {"UTF-8 BOM", "\xEF\xBB\xBF[linker]\r\nlinker=D:\\\xE6\x98\x93\r\n", "linker", "linker", "D:\\\xD2\xD7"},
        {"UTF-16LE", std::string("\xFF\xFE[\0l\0]\0\r\0\n\0l\0=\0\x13\x66\r\0\n\0", 22), "l", "l", "\xD2\xD7"},
        {"value past the buffer", "[linker]\r\nlinker=" + long20k + "\r\n", "linker", "linker", long20k.substr(0, 10239)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir / "link.ini";
        ASSERT_TRUE(WriteFileBytes(file, c.content));
        const std::string got = ProfileRead(file, c.section, c.key, "dflt");
        EXPECT_EQ(got.size(), c.want.size());
        EXPECT_TRUE(got == c.want) << got.substr(0, 64);
        if (c.want == "dflt") {
            EXPECT_EQ(ProfileRead(file, c.section, c.key), "");
        }
    }
}

TEST(ReadProfileText, EdgeNames) {
    TempDirectory dir;
    const std::string file = dir / "link.ini";
    ASSERT_TRUE(WriteFileBytes(file, "[linker]\r\nlinker=C:\\x\r\n"));
    EXPECT_EQ(ProfileRead(dir / "missing.ini", "linker", "linker", "dflt"), "dflt");
    EXPECT_EQ(ProfileRead(dir.path(), "linker", "linker", "dflt"), "dflt");  // a directory
    EXPECT_EQ(ProfileRead(file, "linker", "", "dflt"), "");                  // empty key: never the default
    EXPECT_EQ(ProfileRead(file, "linker", " \t ", "dflt"), "");
    EXPECT_EQ(ProfileRead(file, "", "linker", "dflt"), "");
    EXPECT_EQ(ProfileRead("", "linker", "linker", "dflt"), "");
    EXPECT_EQ(ProfileRead("  " + file, " linker", "\tlinker"), "C:\\x");      // leading blanks skipped
    EXPECT_EQ(ProfileRead(file, "linker", "linker", ""), "C:\\x");

    // A name past MAX_PATH reaches no file: the default comes back and nothing is written,
    // least of all into the file the service used last.
    const std::string tooLong = dir / (std::string(300, 'n') + ".ini");
    EXPECT_EQ(ProfileRead(tooLong, "linker", "linker", "dflt"), "dflt");
    EXPECT_FALSE(WriteProfileText(tooLong.c_str(), "linker", TextRef("linker"), TextRef("x")));
    EXPECT_EQ(ReadFileBytes(file), "[linker]\r\nlinker=C:\\x\r\n");
}

TEST(ReadProfileText, LongGbkValueIsCutInsideACharacterWithoutJunk) {
    TempDirectory dir;
    const std::string file = dir / "link.ini";
    std::string value = "x";  // one single byte first, so a character straddles the cut
    while (value.size() < 12000) value += "\xD2\xD7";
    ASSERT_TRUE(WriteFileBytes(file, "[linker]\r\nlinker=" + value + "\r\n"));
    const std::string got = ProfileRead(file);
    // Cut to the buffer less its NUL; a lead byte left alone at the end is the service's cut.
    ASSERT_GE(got.size(), 10238u);
    EXPECT_LE(got.size(), 10239u);
    EXPECT_TRUE(got == value.substr(0, got.size()));
}

TEST(WriteProfileText, ChangesOnlyTheEntryOfAWellFormedFile) {
    TempDirectory dir;
    const std::string file = dir / "link.ini";
    const std::string before = "[other]\r\na=1\r\n; note\r\n[linker]\r\nlinker=C:\\old\\link.exe\r\nkeep=\xD2\xD7\r\n";
    ASSERT_TRUE(WriteFileBytes(file, before));
    EXPECT_TRUE(WriteProfileText(file.c_str(), "linker", TextRef("linker"), TextRef("D:\\e\\VC98linker\\bin\\link.exe")));
    EXPECT_EQ(ReadFileBytes(file),
              "[other]\r\na=1\r\n; note\r\n[linker]\r\nlinker=D:\\e\\VC98linker\\bin\\link.exe\r\nkeep=\xD2\xD7\r\n");
    EXPECT_EQ(ProfileRead(file), "D:\\e\\VC98linker\\bin\\link.exe");
}

// What the profile service itself does to the rest of a file that is not in its own shape:
// recorded here so a change in it shows.
TEST(WriteProfileText, ServiceNormalisesTheRestOfTheFile) {
    TempDirectory dir;
    const std::string file = dir / "link.ini";
    ASSERT_TRUE(WriteFileBytes(file, "[a]\nx = 1\n\n[linker]\nlinker=old\n"));
    EXPECT_TRUE(WriteProfileText(file.c_str(), "linker", TextRef("linker"), TextRef("new")));
    EXPECT_EQ(ReadFileBytes(file), "[a]\r\nx=1\r\n[linker]\r\nlinker=new\r\n");
}

TEST(WriteProfileText, CreatesAddsAndRemoves) {
    TempDirectory dir;
    const std::string file = dir / "new.ini";
    EXPECT_TRUE(WriteProfileText(file.c_str(), "linker", TextRef("linker"), TextRef("v")));
    EXPECT_EQ(ProfileRead(file), "v");
    EXPECT_TRUE(WriteProfileText(file.c_str(), "linker", TextRef("linker"), std::nullopt));
    EXPECT_EQ(ProfileRead(file, "linker", "linker", "gone"), "gone");
    EXPECT_TRUE(WriteProfileText(file.c_str(), "linker", std::nullopt, std::nullopt));

    const std::string gbkDir = dir / "\x81\x5C\xD2\xD7";  // 乗易
    ASSERT_TRUE(CreateDirectoryA(gbkDir.c_str(), nullptr));
    const std::string gbkFile = gbkDir + "\\link.ini";
    EXPECT_TRUE(WriteProfileText(gbkFile.c_str(), "linker", TextRef("linker"), TextRef("\xD2\xD7")));
    EXPECT_EQ(ProfileRead(gbkFile), "\xD2\xD7");
}

TEST(WriteProfileText, FailuresLeaveTheFileAsItWas) {
    TempDirectory dir;
    const std::string file = dir / "link.ini";
    const std::string before = "[linker]\r\nlinker=old\r\n";
    EXPECT_FALSE(WriteProfileText("", "linker", TextRef("linker"), TextRef("new")));
    ASSERT_TRUE(WriteFileBytes(file, before));
    {
        Immutable guard(file);
        ASSERT_TRUE(guard.ok());
        EXPECT_FALSE(WriteProfileText(file.c_str(), "linker", TextRef("linker"), TextRef("new")));
    }
    EXPECT_EQ(ReadFileBytes(file), before);
    {
        HeldOpen lock(file);
        ASSERT_TRUE(lock.ok());
        EXPECT_FALSE(WriteProfileText(file.c_str(), "linker", TextRef("linker"), TextRef("new")));
    }
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_FALSE(WriteProfileText((dir / "missing\\link.ini").c_str(), "linker", TextRef("linker"), TextRef("new")));
}

TEST(Services, LeaveNoHandleOpen) {
    TempDirectory dir;
    const std::string file = dir / "link.ini";
    ASSERT_TRUE(WriteFileBytes(file, "[linker]\r\nlinker=x\r\n"));
    const auto data = MakeByteSet("abc");
    const DWORD before = HandleCount();
    for (int i = 0; i < 200; ++i) {
        FileExists(file.c_str());
        FileExists((dir / "*.ini").c_str());
        WriteWholeFile((dir / "w.bin").c_str(), {data.data()});
        SetFileAttributeFlags((dir / "w.bin").c_str(), 0);
        ReadRegistryText(3, "Software\\FlySky\\E\\Install\\Path");
        ReadRegistryText(4, "Software\\Microsoft\\Windows NT\\CurrentVersion\\CurrentVersion");
        ReadProfileText(file.c_str(), "linker", "linker");
        WriteProfileText(file.c_str(), "linker", TextRef("linker"), TextRef(i % 2 ? "x" : "y"));
    }
    EXPECT_EQ(HandleCount(), before);
}

}  // namespace
