#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "skin/Deploy.h"
#include "skinlib/SkinFormat.h"

using skinlib::ParseSkin;
using skinlib::Skin;
using skinlib::SkinError;

namespace {

// A skin built field by field, so each malformed case changes one thing.
struct Builder {
    std::uint16_t major = 1;
    std::uint16_t headerBytes = 16;
    std::vector<std::pair<std::uint16_t, std::string>> fields = {
        {1, "Test"}, {2, std::string(19 * 4, '\0')}, {3, std::string("\x02\x04", 2)}};
    int totalAdjust = 0;
    int countAdjust = 0;

    std::string Bytes() const {
        std::string body;
        for (const auto& [tag, payload] : fields) {
            body += Word16(tag) + Word16(static_cast<std::uint16_t>(payload.size())) + payload;
        }
        const auto total = static_cast<std::uint32_t>(headerBytes + body.size() + static_cast<std::size_t>(totalAdjust));
        std::string header = ".SHE" + Word16(major) + Word16(0) + Word32(total) + Word16(headerBytes) +
                             Word16(static_cast<std::uint16_t>(static_cast<int>(fields.size()) + countAdjust));
        header.resize(headerBytes, '\0');
        return header + body;
    }
    static std::string Word16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
    static std::string Word32(std::uint32_t v) { return Word16(static_cast<std::uint16_t>(v)) + Word16(static_cast<std::uint16_t>(v >> 16)); }
};

SkinError Parse(const std::string& bytes, Skin& out) {
    return ParseSkin(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out);
}

TEST(SkinFormat, ReadsAWellFormedSkin) {
    Builder b;
    b.fields[1].second[0] = '\x12';  // window face red
    b.fields[1].second[6] = '\x56';  // label text blue
    Skin skin = {};
    ASSERT_EQ(Parse(b.Bytes(), skin), SkinError::None);
    EXPECT_STREQ(skin.name, "Test");
    EXPECT_EQ(skin.colours[skinlib::kWindowFace], 0x12u);
    EXPECT_EQ(skin.colours[skinlib::kLabelText], 0x560000u);
    EXPECT_EQ(skin.borderWidth, 2);
    EXPECT_EQ(skin.cornerRadius, 4);
}

TEST(SkinFormat, NewerSkinsStillLoad) {
    Builder b;
    b.fields.push_back({99, "a tag from a newer minor"});
    b.fields[1].second += std::string(4 * 3, '\0');  // and three more colours
    b.headerBytes = 24;                             // and a longer header
    Skin skin = {};
    EXPECT_EQ(Parse(b.Bytes(), skin), SkinError::None);
}

struct BadCase { const char* what; void (*change)(Builder&); SkinError want; };
const BadCase kBad[] = {
    {"major version 2", [](Builder& b) { b.major = 2; }, SkinError::Version},
    {"total too long", [](Builder& b) { b.totalAdjust = 1; }, SkinError::Length},
    {"total too short", [](Builder& b) { b.totalAdjust = -1; }, SkinError::Length},
    {"header shorter than 16", [](Builder& b) { b.headerBytes = 12; }, SkinError::Length},
    {"more fields counted than present", [](Builder& b) { b.countAdjust = 1; }, SkinError::Length},
    {"fewer fields counted than present", [](Builder& b) { b.countAdjust = -1; }, SkinError::Length},
    {"a huge field count", [](Builder& b) { b.countAdjust = 60000; }, SkinError::Field},
    {"name missing", [](Builder& b) { b.fields.erase(b.fields.begin()); }, SkinError::Missing},
    {"name twice", [](Builder& b) { b.fields.push_back({1, "Again"}); }, SkinError::Missing},
    {"empty name", [](Builder& b) { b.fields[0].second.clear(); }, SkinError::Field},
    {"name too long", [](Builder& b) { b.fields[0].second = std::string(65, 'n'); }, SkinError::Field},
    {"name with a control byte", [](Builder& b) { b.fields[0].second = "a\nb"; }, SkinError::Field},
    {"too few colours", [](Builder& b) { b.fields[1].second.resize(18 * 4); }, SkinError::Field},
    {"colours not whole", [](Builder& b) { b.fields[1].second.resize(19 * 4 + 2); }, SkinError::Field},
    {"colour with a fourth byte", [](Builder& b) { b.fields[1].second[3] = 1; }, SkinError::Field},
    {"too many colours", [](Builder& b) { b.fields[1].second.resize(65 * 4); }, SkinError::Field},
    {"border width 0", [](Builder& b) { b.fields[2].second[0] = 0; }, SkinError::Field},
    {"radius 200", [](Builder& b) { b.fields[2].second[1] = static_cast<char>(200); }, SkinError::Field},
    {"metrics cut short", [](Builder& b) { b.fields[2].second.resize(1); }, SkinError::Field},
};

TEST(SkinFormat, MalformedSkinsAreRefusedAndChangeNothing) {
    for (const auto& c : kBad) {
        SCOPED_TRACE(c.what);
        Builder b;
        c.change(b);
        Skin skin = {};
        skin.borderWidth = 77;
        EXPECT_EQ(Parse(b.Bytes(), skin), c.want);
        EXPECT_EQ(skin.borderWidth, 77);
    }
}

TEST(SkinFormat, ShortAndForeignData) {
    Skin skin = {};
    EXPECT_EQ(ParseSkin(nullptr, 100, skin), SkinError::NoData);
    EXPECT_EQ(Parse("", skin), SkinError::NoData);
    EXPECT_EQ(Parse(".SH", skin), SkinError::NotASkin);
    EXPECT_EQ(Parse("MZ\x90\x00 not a skin at all", skin), SkinError::NotASkin);
    EXPECT_EQ(Parse(".SHE\x01", skin), SkinError::Length);  // header cut short
    const std::string whole = Builder().Bytes();
    for (std::size_t n = 5; n < whole.size(); ++n) {  // every truncation
        SCOPED_TRACE(n);
        EXPECT_NE(Parse(whole.substr(0, n), skin), SkinError::None);
    }
    // A field whose length runs past the end.
    std::string past = whole;
    past[16 + 2] = '\xFF';
    EXPECT_EQ(Parse(past, skin), SkinError::Length);
}

// ---- Deployment ----

struct FakeFiles : skin::LibraryFiles {
    std::map<std::string, std::string> files;
    std::map<std::string, int> attributes;
    std::size_t failAfter = SIZE_MAX;  // bytes a write gets through before the disk is full
    int writes = 0;

    bool FileExists(services::TextRef name) noexcept override { return files.count(name.c_str()) > 0; }
    bool WriteWholeFile(services::TextRef name, services::ByteSetRef data) noexcept override {
        ++writes;
        const std::uint32_t length = services::ByteSetLength(data);
        std::string& file = files[name.c_str()];
        file.assign(reinterpret_cast<const char*>(services::ByteSetData(data)), std::min<std::size_t>(length, failAfter));
        return length <= failAfter;
    }
    bool SetFileAttributeFlags(services::TextRef name, int flags) noexcept override {
        attributes[name.c_str()] = flags;
        return true;
    }
    bool RemoveFile(services::TextRef name) noexcept override { return files.erase(name.c_str()) > 0; }
};

constexpr unsigned char kLibrary[] = {1, 0, 0, 0, 4, 0, 0, 0, 'M', 'Z', 0, 1};
constexpr char kPath[] = "D:\\tools\\SkinH_EL.dll";

TEST(EnsureSkinLibrary, WritesOnceAndHides) {
    FakeFiles fs;
    skin::EnsureSkinLibrary(fs, "D:\\tools", kLibrary);
    EXPECT_EQ(fs.files[kPath], std::string("MZ\0\1", 4));
    EXPECT_EQ(fs.attributes[kPath], 2);
    fs.attributes[kPath] = 0;  // the user clears the hidden attribute
    skin::EnsureSkinLibrary(fs, "D:\\tools", kLibrary);
    EXPECT_EQ(fs.writes, 1);
    EXPECT_EQ(fs.attributes[kPath], 0);
}

TEST(EnsureSkinLibrary, LeavesAForeignFileAlone) {
    FakeFiles fs;
    fs.files[kPath] = "someone else's";
    skin::EnsureSkinLibrary(fs, "D:\\tools", kLibrary);
    EXPECT_EQ(fs.files[kPath], "someone else's");
    EXPECT_EQ(fs.writes, 0);
    EXPECT_EQ(fs.attributes.count(kPath), 0u);
}

TEST(EnsureSkinLibrary, RemovesAPartialWrite) {
    FakeFiles fs;
    fs.failAfter = 2;
    skin::EnsureSkinLibrary(fs, "D:\\tools", kLibrary);
    EXPECT_EQ(fs.files.count(kPath), 0u);  // no truncated library is left to be loaded
    EXPECT_EQ(fs.attributes.count(kPath), 0u);
}

TEST(EnsureSkinLibrary, EmptyRunDirectoryMeansTheRoot) {
    FakeFiles fs;
    skin::EnsureSkinLibrary(fs, nullptr, kLibrary);
    EXPECT_EQ(fs.files.count("\\SkinH_EL.dll"), 1u);
}

}  // namespace
