#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Texts.h"
#include "app/IconChoice.h"
#include "app/MainWindowDef.h"
#include "app/Shell.h"
#include "services/text/Fatal.h"

using namespace app;

// The description binds these; here they count their calls.
namespace app {
int gCreatedCalls = 0;
int gGatherCalls = 0;
int gRepairCalls = 0;
void OnMainWindowCreated() { ++gCreatedCalls; }
void OnGatherInfoClicked() { ++gGatherCalls; }
void OnRepairClicked() { ++gRepairCalls; }
}  // namespace app

namespace {

TEST(MainWindowDef, UnitsAreUniqueAndComplete) {
    const WindowDef& def = MainWindowDef();
    ASSERT_EQ(def.units.size(), 12u);
    EXPECT_EQ(def.units[0].kind, UnitKind::Window);
    std::set<int> numbers;
    std::set<std::string> names;
    for (const UnitDef& unit : def.units.subspan(1)) {
        numbers.insert(unit.number);
        names.insert(unit.name);
    }
    EXPECT_EQ(numbers.size(), 11u);
    EXPECT_EQ(names.size(), 11u);
    EXPECT_EQ(FindUnit(def, kEditBox1)->name, std::string(services::text::kUnitEdit1));
}

TEST(MainWindowDef, TabCycleOrder) {
    std::array<int, 16> cycle{};
    const std::size_t count = TabCycle(MainWindowDef(), cycle);
    std::vector<int> numbers;
    for (std::size_t i = 0; i < count; ++i) numbers.push_back(MainWindowDef().units[static_cast<std::size_t>(cycle[i])].number);
    EXPECT_EQ(numbers, (std::vector<int>{kEditBox1, kEditBox2, kButton1, kButton2, kEditBox4, kEditBox3}));
}

TEST(TabCycle, TabIndexFirstThenLaterListedFirst) {
    const UnitDef units[] = {
        {UnitKind::Window, 1, "", {}, "", false},
        {UnitKind::EditBox, 10, "a", {}, "", true, {}, true, false, 2},
        {UnitKind::EditBox, 11, "b", {}, "", true, {}, true, false, 1},
        {UnitKind::EditBox, 12, "c", {}, "", true, {}, true, false, 1},
        {UnitKind::EditBox, 13, "hidden", {}, "", true, {}, false, false, 0},
        {UnitKind::EditBox, 14, "disabled", {}, "", true, {}, true, true, 0},
        {UnitKind::TransparentLabel, 15, "no stop", {}, "", false},
    };
    std::array<int, 8> cycle{};
    const std::size_t count = TabCycle({1, units}, cycle);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(cycle[0], 3);  // c: tab index 1, listed after b
    EXPECT_EQ(cycle[1], 2);
    EXPECT_EQ(cycle[2], 1);
}

struct CentreCase { int screenW, screenH, x, y; };
TEST(CentredOrigin, TruncatesTowardZero) {
    const CentreCase cases[] = {{1024, 768, 347, 271}, {1920, 1080, 795, 427}, {330, 226, 0, 0}, {300, 200, -14, -12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screenW);
        const Point p = CentredOrigin(c.screenW, c.screenH, 329, 225);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
    }
}

// An icon group directory: header, then entries of width, height, colours, reserved,
// planes, bits, bytes, id.
std::vector<unsigned char> Group(std::initializer_list<std::array<int, 4>> entries) {  // side, colours, bits, id
    std::vector<unsigned char> bytes = {0, 0, 1, 0, static_cast<unsigned char>(entries.size()), 0};
    for (const auto& e : entries) {
        const auto side = static_cast<unsigned char>(e[0] == 256 ? 0 : e[0]);
        const unsigned char entry[14] = {side, side, static_cast<unsigned char>(e[1]), 0, 1, 0,
                                         static_cast<unsigned char>(e[2]), 0, 0, 0, 0, 0,
                                         static_cast<unsigned char>(e[3]), 0};
        bytes.insert(bytes.end(), entry, entry + 14);
    }
    return bytes;
}

TEST(IconChoice, FirstImageOfTheSizeWithSixteenColoursOrMore) {
    const auto ours = Group({{256, 16, 4, 1}, {256, 0, 8, 2}, {256, 0, 32, 3}, {32, 16, 4, 10}, {32, 0, 8, 11},
                             {32, 0, 32, 12}, {16, 16, 4, 16}, {16, 0, 8, 17}, {16, 0, 32, 18}});
    EXPECT_EQ(ChooseIconImage(ours.data(), ours.size(), 32), 10);
    EXPECT_EQ(ChooseIconImage(ours.data(), ours.size(), 16), 16);
    EXPECT_EQ(ChooseIconImage(ours.data(), ours.size(), 256), 1);

    const auto noneQualify = Group({{32, 0, 32, 5}, {16, 2, 1, 6}, {48, 0, 8, 7}});
    EXPECT_EQ(ChooseIconImage(noneQualify.data(), noneQualify.size(), 16), 7);  // the last image

    const auto broken = Group({{32, 16, 4, 5}});
    EXPECT_EQ(ChooseIconImage(broken.data(), broken.size() - 1, 32), std::nullopt);
    EXPECT_EQ(ChooseIconImage(nullptr, 0, 32), std::nullopt);
    const unsigned char empty[] = {0, 0, 1, 0, 0, 0};
    EXPECT_EQ(ChooseIconImage(empty, sizeof empty, 32), std::nullopt);
}

TEST(Shell, EventsReachBoundHandlersOnlyWhileTheGateIsDown) {
    Shell shell;
    shell.LoadDescriptions(WindowDescriptions());
    const int before = gRepairCalls;
    EXPECT_TRUE(shell.RaiseEvent(kMainWindow, kButton1, kEventClicked));
    EXPECT_EQ(gRepairCalls, before + 1);
    EXPECT_FALSE(shell.RaiseEvent(kMainWindow, kEditBox1, kEventChanged));       // unbound
    EXPECT_FALSE(shell.RaiseEvent(kMainWindow, kWindowItself, kEventCloseQuery));  // unbound
    shell.HoldEvents();
    shell.HoldEvents();
    EXPECT_FALSE(shell.RaiseEvent(kMainWindow, kButton1, kEventClicked));
    shell.ReleaseEvents();
    EXPECT_FALSE(shell.RaiseEvent(kMainWindow, kButton1, kEventClicked));
    shell.ReleaseEvents();
    shell.ReleaseEvents();  // never below zero
    shell.HoldEvents();
    EXPECT_FALSE(shell.RaiseEvent(kMainWindow, kButton2, kEventClicked));
    shell.ReleaseEvents();
    EXPECT_TRUE(shell.RaiseEvent(kMainWindow, kWindowItself, kEventCreated));
    shell.HoldEventsForGood();
    shell.ReleaseEvents();
    EXPECT_FALSE(shell.RaiseEvent(kMainWindow, kButton1, kEventClicked));
    EXPECT_EQ(gRepairCalls, before + 1);
}

int gShutdownCalls = 0;

TEST(Shell, ShutdownRoutineRunsOnceAndCanBeCleared) {
    Shell shell;
    shell.RegisterShutdownRoutine([] { ++gShutdownCalls; });
    shell.RunShutdownRoutineOnce();
    shell.RunShutdownRoutineOnce();
    EXPECT_EQ(gShutdownCalls, 1);
    shell.RegisterShutdownRoutine([] { ++gShutdownCalls; });
    shell.ClearShutdownRoutine();
    shell.RunShutdownRoutineOnce();
    EXPECT_EQ(gShutdownCalls, 1);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
// The reporter prints the report and ends; the death test matches the message in it.
void PrintAndExit(const char* report) noexcept {
    std::fputs(report, stderr);
    std::_Exit(9);
}

constexpr UnitDef kOddUnits[] = {
    {UnitKind::Window, 7, "", {}, "", false},
    {static_cast<UnitKind>(99), 70, "odd", {}, "", false},
};
constexpr WindowDef kOddWindow[] = {{7, kOddUnits}};

TEST(ShellDeathTest, InconsistentEventSourcesEndTheProcess) {
    struct Case { int window; int unit; const char* message; };
    const Case cases[] = {
        {99, kWindowItself, services::text::kEventWindowNotFound},
        {7, 71, services::text::kEventUnitNotFound},
        {7, 70, services::text::kEventUnitInvalid},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                services::SetFatalReporter(PrintAndExit);
                Shell shell;
                shell.LoadDescriptions(kOddWindow);
                shell.RaiseEvent(c.window, c.unit, 0);
            },
            testing::ExitedWithCode(9), c.message);
    }
}

TEST(ShellDeathTest, NoDescriptionsEndTheProcess) {
    EXPECT_EXIT(
        {
            services::SetFatalReporter(PrintAndExit);
            Shell shell;
            shell.LoadDescriptions({});
        },
        testing::ExitedWithCode(9), services::text::kLoadTemplatesFailed);
}
#endif

}  // namespace
