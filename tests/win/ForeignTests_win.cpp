// Foreign calls against small libraries of the tests' own: in this process where the call
// returns, in a probe program where it must end the process.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include <gtest/gtest.h>

#include "Texts.h"
#include "services/files/Files.h"
#include "services/foreign/Foreign.h"
#include "tests/win/Driver_win.h"
#include "tests/win/Fixture_win.h"

using namespace testing_win;
namespace text = services::text;

namespace {

std::string ExeDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.rfind('\\'));
}

std::int32_t CallAttach(const unsigned char* data, int size, const char* text) {
    return services::CallForeignFunction(0, {reinterpret_cast<std::uintptr_t>(data), static_cast<std::uintptr_t>(size),
                                             reinterpret_cast<std::uintptr_t>(text), 0, 0, 0});
}

TEST(ForeignCall, ResolvesOnceAndPassesTheArguments) {
    services::InitRunDirectory();  // this program's directory, where the probes lie
    static const services::ForeignFunction table[] = {{"foreign_probe_a.dll", "SkinH_AttachRes"}};
    services::LoadForeignTable(table);
    EXPECT_EQ(GetModuleHandleA("foreign_probe_a.dll"), nullptr) << "nothing is loaded before the first call";
    const unsigned char data[] = {9, 8, 7};
    EXPECT_EQ(CallAttach(data, 3, "t"), 101);
    HMODULE probe = GetModuleHandleA("foreign_probe_a.dll");
    ASSERT_NE(probe, nullptr);
    const auto* calls = reinterpret_cast<const int*>(GetProcAddress(probe, "ProbeCalls"));
    const auto* args = reinterpret_cast<const std::uintptr_t*>(GetProcAddress(probe, "ProbeArgs"));
    ASSERT_TRUE(calls && args);
    EXPECT_EQ(*calls, 1);
    EXPECT_EQ(args[0], reinterpret_cast<std::uintptr_t>(data));
    EXPECT_EQ(static_cast<int>(args[1]), 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(args[2]), "t");
    EXPECT_EQ(args[3] | args[4] | args[5], 0u);
    EXPECT_EQ(CallAttach(nullptr, 0, ""), 101);
    EXPECT_EQ(*calls, 2);
    EXPECT_EQ(args[0], 0u);
    // One load only: a single release unloads the library.
    services::ReleaseForeignLibraries();
    EXPECT_EQ(GetModuleHandleA("foreign_probe_a.dll"), nullptr);
}

TEST(ForeignCall, RunDirectoryCopyComesBeforeTheSearchPath) {
    services::InitRunDirectory();
    TempDirectory elsewhere;
    const std::string name = "probe_choice.dll";
    const std::string inRunDir = ExeDirectory() + "\\" + name;
    ASSERT_TRUE(CopyFileA((ExeDirectory() + "\\foreign_probe_b.dll").c_str(), (elsewhere / name).c_str(), FALSE));
    char path[32768] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    const std::string savedPath = path;
    SetEnvironmentVariableA("PATH", (elsewhere.path() + ";" + savedPath).c_str());
    static const services::ForeignFunction table[] = {{"probe_choice.dll", "SkinH_AttachRes"}};

    services::LoadForeignTable(table);
    EXPECT_EQ(CallAttach(nullptr, 0, ""), 102) << "only the search path has one";
    services::ReleaseForeignLibraries();

    ASSERT_TRUE(CopyFileA((ExeDirectory() + "\\foreign_probe_a.dll").c_str(), inRunDir.c_str(), FALSE));
    services::LoadForeignTable(table);
    EXPECT_EQ(CallAttach(nullptr, 0, ""), 101) << "the run directory's copy wins";
    services::ReleaseForeignLibraries();
    DeleteFileA(inRunDir.c_str());
    SetEnvironmentVariableA("PATH", savedPath.c_str());
}

bool ModuleLoaded(DWORD pid, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &entry); more && !found; more = Module32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// The probe program in a directory of its own with the library under test beside it.
struct ProbeRun {
    TempDirectory dir;
    Driver driver;
    bool Start(const std::string& library, const char* libraryFile) {
        if (!CopyFileA(FromEnvironment("QUILLORY_FATAL_PROBE").c_str(), (dir / "fatal_probe.exe").c_str(), FALSE))
            return false;
        if (libraryFile) {
            const std::string source = ExeDirectory() + "\\" + libraryFile;
            if (!CopyFileA(source.c_str(), (dir / library).c_str(), FALSE) &&
                !WriteFileBytes(dir / library, libraryFile))  // not a library: text under that name
                return false;
        }
        return driver.Start(dir / "fatal_probe.exe", dir.path(), " call " + library);
    }
};

TEST(ForeignCallE2E, UnresolvableLibrariesEndThroughTheFatalReport) {
    struct Case { const char* what; const char* library; const char* file; };
    const Case cases[] = {
        {"no such library", "absent_lib.dll", nullptr},
        {"library without the export", "noexport.dll", "foreign_noexport.dll"},
        {"not a library", "text.dll", "this is text, not a library"},
        {"a dependency is missing", "needs.dll", "foreign_needs_missing.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeRun run;
        ASSERT_TRUE(run.Start(c.library, c.file));
        HWND box = run.driver.WaitForBox(text::kFatalCaption);
        ASSERT_NE(box, nullptr);
        const std::string want = ForeignNotFoundReport(c.library, "SkinH_AttachRes");
        EXPECT_EQ(Driver::Text(GetDlgItem(box, 0xFFFF)), want);
        DWORD pid = 0;
        GetWindowThreadProcessId(box, &pid);
        EXPECT_FALSE(ModuleLoaded(pid, c.library)) << "released before the box";
        Driver::Click(GetDlgItem(box, IDOK));
        EXPECT_EQ(run.driver.WaitForExit(), 0xFFFFFFFFu);
    }
}

TEST(ForeignCallE2E, OrderlyEndFreesTheLibrary) {
    ProbeRun run;
    const std::string mark = run.dir / "mark.txt";
    SetEnvironmentVariableA("QUILLORY_PROBE_MARK", mark.c_str());  // the probe inherits it
    ASSERT_TRUE(run.Start("foreign_probe_a.dll", "foreign_probe_a.dll"));
    EXPECT_EQ(run.driver.WaitForExit(), 101u);
    SetEnvironmentVariableA("QUILLORY_PROBE_MARK", nullptr);
    EXPECT_EQ(ReadFileBytes(mark), "freed");  // by FreeLibrary, not by the process ending
}

}  // namespace
