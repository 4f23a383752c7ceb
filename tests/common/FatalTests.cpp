#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "Texts.h"
#include "services/text/Fatal.h"
#include "services/text/Text.h"
#include "tests/support/TestHeap.h"

using namespace services;

namespace {

const std::string kHeading = std::string(text::kFatalHeading) + "\r\n\r\n";

struct ReportCase { int code; const char* message; std::string want; };

TEST(FatalReport, Layout) {
    const ReportCase cases[] = {
        {0, "m", kHeading + text::kFatalMessageLabel + "m\r\n"},
        {6, "m", kHeading + text::kFatalCodeLabel + "6\r\n\r\n" + text::kFatalMessageLabel + "m\r\n"},
        {0, "", kHeading},
        {0, nullptr, kHeading},
        {-1, "", kHeading + text::kFatalCodeLabel + "-1\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "code=" << c.code);
        EXPECT_EQ(FormatFatalReport(c.code, c.message).c_str(), c.want);
    }
}

TEST(FatalReport, OutOfMemoryMessage) {
    // 分配 10240 字节内存失败!
    EXPECT_STREQ(FormatOutOfMemory(10240).c_str(),
                 "\xB7\xD6\xC5\xE4 10240 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!");
}

TEST(FixedText, CutsInsteadOfOverflowing) {
    const std::string big(3000, 'x');
    FixedText text;
    text.Append(big.c_str()).Append("more").AppendNumber(42);
    EXPECT_EQ(text.size(), FixedText::kCapacity - 1);
    EXPECT_EQ(std::strlen(text.c_str()), FixedText::kCapacity - 1);
}

TEST(FixedText, FormatFillsPlaceholdersInOrder) {
    const char* args[] = {"SkinH_EL.dll", "SkinH_AttachRes"};
    FixedText text;
    text.AppendFormat("lib %s export %s; %d left", args, 2);
    EXPECT_STREQ(text.c_str(), "lib SkinH_EL.dll export SkinH_AttachRes; %d left");
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
// The reporter ends the process with 7 when it got exactly the out-of-memory report.
void ExpectOutOfMemoryReport(const char* report) noexcept {
    const std::string want = FormatFatalReport(0, FormatOutOfMemory(11).c_str()).c_str();
    std::fputs(report, stderr);
    std::_Exit(want == report ? 7 : 8);
}

TEST(FatalReportDeathTest, RefusedBlockEndsThroughTheReport) {
    EXPECT_EXIT(
        {
            SetFatalReporter(ExpectOutOfMemoryReport);
            testheap::RefuseNext();
            const Text joined = ConcatText("0123456789", nullptr);
            std::fprintf(stderr, "returned %s\n", joined.c_str());  // must not be reached
        },
        testing::ExitedWithCode(7), "");
}

TEST(FatalReportDeathTest, ReporterThatReturnsStillEnds) {
    EXPECT_DEATH(
        {
            SetFatalReporter([](const char*) noexcept {});
            RaiseFatal(0, "x");
        },
        "");
}
#endif

}  // namespace
