#include <string>

#include <gtest/gtest.h>

#include "services/files/Paths.h"

using namespace services;

namespace {

// Code page 936: lead bytes are 0x81..0xFE; 0x80 stands alone.
bool Cp936Lead(unsigned char byte) noexcept { return byte >= 0x81 && byte <= 0xFE; }

struct RunDirCase { const char* exe; const char* want; };
constexpr RunDirCase kRunDir[] = {
    {"D:\\tools\\app.exe", "D:\\tools"},
    {"C:\\app.exe", "C:"},
    {"app.exe", ""},
    {"", ""},
    {"D:\\\x81\x5C\\app.exe", "D:\\\x81\x5C"},        // 乗: its 0x5C is no separator
    {"D:\\x\\\x81\x5C" "app.exe", "D:\\x"},
    {"D:\\x\\\x80\\app.exe", "D:\\x\\\x80"},          // 0x80 is a character of its own here
    {"\\\\server\\share\\app.exe", "\\\\server\\share"},
};

TEST(RunDirectoryOf, Table) {
    for (const auto& c : kRunDir) {
        SCOPED_TRACE(c.exe);
        EXPECT_EQ(RunDirectoryOf(c.exe, Cp936Lead), c.want);
    }
}

TEST(RunDirectoryOf, LongPathIsCutAtItsOwnLastBackslash) {
    const std::string dir = "C:\\" + std::string(300, 'd') + "\\\xD2\xD7";
    EXPECT_EQ(RunDirectoryOf(dir + "\\quillory.exe", Cp936Lead), dir);
}

struct SplitCase { const char* path; const char* key; const char* value; };
constexpr SplitCase kSplit[] = {
    {"Software\\FlySky\\E\\Install\\Path", "Software\\FlySky\\E\\Install", "Path"},
    {"Path", "", "Path"},                          // straight under the hive
    {"Software\\X\\", "Software\\X", ""},          // the key's unnamed value
    {"Software\\X\\\x81\x5C", "Software\\X", "\x81\x5C"},
    {"Software\\\xB0\\", "Software", "\xB0\\"},  // a lead byte takes the backslash with it
    {"Software\\X\\\xB0", "Software\\X", "\xB0"},  // a lead byte before the end takes nothing
    {"", "", ""},
};

TEST(SplitRegistryPath, Table) {
    for (const auto& c : kSplit) {
        SCOPED_TRACE(c.path);
        const RegistryPath split = SplitRegistryPath(c.path);
        EXPECT_EQ(split.key, c.key);
        EXPECT_EQ(split.value, c.value);
    }
}

TEST(SkipLeadingBlanks, OnlyLeadingControlsAndSpaces) {
    EXPECT_EQ(SkipLeadingBlanks(" \t\r\n\x01link.ini "), "link.ini ");
    EXPECT_EQ(SkipLeadingBlanks("\xA1\xA1x"), "\xA1\xA1x");  // a full-width space stays
    EXPECT_EQ(SkipLeadingBlanks("   "), "");
    EXPECT_EQ(SkipLeadingBlanks(""), "");
}

}  // namespace
