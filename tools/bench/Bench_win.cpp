// Measures Quillory against the baseline window, side by side in one run, and prints one
// table: start-up, memory, handler cost and endurance. Figures are ratios and spreads from
// this run; nothing here passes or fails on time.
//   quillory_bench QUILLORY.exe BASELINE.exe RUNS CYCLES
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MainWindowDef.h"
#include "tests/win/Driver_win.h"
#include "tests/win/Fixture_win.h"

using namespace testing_win;

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Stats {
    double min, median, max;
};

Stats Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    if (values.empty()) return {0, 0, 0};
    return {values.front(), values[values.size() / 2], values.back()};
}

struct Memory {
    double peakWorkingSetMiB, privateMiB;
};

Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return {static_cast<double>(counters.PeakWorkingSetSize) / 1048576.0,
            static_cast<double>(counters.PrivateUsage) / 1048576.0};
}

HANDLE OpenQuery(DWORD pid) { return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid); }

DWORD PidOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// One start: milliseconds from CreateProcess to the visible window, and memory then.
struct Start {
    double ms;
    Memory memory;
};

bool TimeStart(const std::string& exe, const std::string& dir, const char* windowClass, Start& out) {
    Driver program;
    const double begin = Now();
    if (!program.Start(exe, dir) || !program.WaitForWindow(windowClass, 30000, 1)) return false;
    out.ms = Now() - begin;
    HANDLE process = OpenQuery(PidOf(program.main()));
    Sleep(100);  // let the first paint settle before reading memory
    out.memory = MemoryOf(process);
    CloseHandle(process);
    PostMessageA(program.main(), WM_CLOSE, 0, 0);
    return program.WaitForExit(10000) == 0;
}

void SetEntry(const std::string& ini, const std::string& value) {
    WritePrivateProfileStringA("linker", "linker", value.c_str(), ini.c_str());
}

std::string Entry(const std::string& ini) {
    char value[1024] = {};
    GetPrivateProfileStringA("linker", "linker", "", value, sizeof value, ini.c_str());
    return value;
}

struct Resources {
    DWORD handles, gdi, user;
    double privateMiB, workingSetMiB;
};

// Wine answers GetProcessHandleCount only for the calling process; the system-wide handle
// table it does keep, so count the target's entries there.
DWORD HandlesOf(DWORD pid) {
    struct Entry {
        USHORT process;
        USHORT creatorBackTrace;
        UCHAR type;
        UCHAR attributes;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    for (int i = 0; i < 6; ++i) {
        const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) break;
        buffer.resize(buffer.size() * 4);
    }
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].process == pid) ++count;
    return count;
}

Resources ResourcesOf(HANDLE process) {
    Resources r = {};
    GetProcessHandleCount(process, &r.handles);
    if (r.handles == 0) r.handles = HandlesOf(GetProcessId(process));
    r.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    r.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    r.privateMiB = static_cast<double>(counters.PrivateUsage) / 1048576.0;
    r.workingSetMiB = static_cast<double>(counters.WorkingSetSize) / 1048576.0;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    const std::string quillory = argv[1];
    const std::string baseline = argv[2];
    const int runs = std::max(1, atoi(argv[3]));
    const int cycles = std::max(0, atoi(argv[4]));

    TempDirectory warm, plain;
    CopyFileA(quillory.c_str(), (warm / "quillory.exe").c_str(), FALSE);
    CopyFileA(baseline.c_str(), (plain / "baseline.exe").c_str(), FALSE);
    Start start = {};
    if (!TimeStart(warm / "quillory.exe", warm.path(), "QuilloryWindow", start)) return 3;  // writes the library

    std::vector<double> quilloryMs, baselineMs, firstMs;
    Memory quilloryMemory = {}, baselineMemory = {};
    for (int i = 0; i < runs; ++i) {  // interleaved, so the machine's moods fall on both
        if (!TimeStart(plain / "baseline.exe", plain.path(), "BaselineWindow", start)) return 4;
        baselineMs.push_back(start.ms);
        baselineMemory.peakWorkingSetMiB = std::max(baselineMemory.peakWorkingSetMiB, start.memory.peakWorkingSetMiB);
        baselineMemory.privateMiB = std::max(baselineMemory.privateMiB, start.memory.privateMiB);
        if (!TimeStart(warm / "quillory.exe", warm.path(), "QuilloryWindow", start)) return 5;
        quilloryMs.push_back(start.ms);
        quilloryMemory.peakWorkingSetMiB = std::max(quilloryMemory.peakWorkingSetMiB, start.memory.peakWorkingSetMiB);
        quilloryMemory.privateMiB = std::max(quilloryMemory.privateMiB, start.memory.privateMiB);
    }
    for (int i = 0; i < std::max(3, runs / 4); ++i) {  // first start: the library is written
        TempDirectory fresh;
        CopyFileA(quillory.c_str(), (fresh / "quillory.exe").c_str(), FALSE);
        if (!TimeStart(fresh / "quillory.exe", fresh.path(), "QuilloryWindow", start)) return 6;
        firstMs.push_back(start.ms);
    }

    // A sample installation for the clicks.
    TempDirectory install;
    const std::string root = install.path() + "\\";
    CreateDirectoryA((root + "tools").c_str(), nullptr);
    const std::string ini = root + "tools\\link.ini";
    const std::string right = root + "VC98linker\\bin\\link.exe";
    const std::string wrong = "C:\\old\\link.exe";
    WriteFileBytes(ini, "[other]\r\nkeep=1\r\n[linker]\r\nlinker=" + wrong + "\r\n[more]\r\nx=2\r\n");
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\FlySky\\E\\Install", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const std::string registered = root + "lib\\";
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(registered.c_str()),
                   static_cast<DWORD>(registered.size() + 1));
    RegCloseKey(key);

    Driver program;
    if (!program.Start(warm / "quillory.exe", warm.path()) || !program.WaitForWindow("QuilloryWindow")) return 7;
    HWND gather = program.Control(app::kButton2);
    HWND repair = program.Control(app::kButton1);
    HANDLE process = OpenQuery(PidOf(program.main()));
    auto timeClick = [&](HWND button) {
        const double begin = Now();
        Driver::Click(button);
        return Now() - begin;
    };
    std::vector<double> gatherMs, wrongMs, correctMs;
    for (int i = 0; i < 200; ++i) {
        gatherMs.push_back(timeClick(gather));
        SetEntry(ini, wrong);
        wrongMs.push_back(timeClick(repair));
        correctMs.push_back(timeClick(repair));
    }

    const Resources before = ResourcesOf(process);
    const double soakBegin = Now();
    for (int i = 0; i < cycles; ++i) {
        SetEntry(ini, i % 2 ? right : wrong);
        Driver::Click(gather);
        Driver::Click(repair);
    }
    const double soakSeconds = (Now() - soakBegin) / 1000.0;
    const Resources after = ResourcesOf(process);
    const Memory soaked = MemoryOf(process);
    const bool entryRight = Entry(ini) == right;
    const bool restIntact = ReadFileBytes(ini) == "[other]\r\nkeep=1\r\n[linker]\r\nlinker=" + right + "\r\n[more]\r\nx=2\r\n";
    CloseHandle(process);
    PostMessageA(program.main(), WM_CLOSE, 0, 0);
    program.WaitForExit();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\FlySky");

    const Stats q = Summarise(quilloryMs), b = Summarise(baselineMs), f = Summarise(firstMs);
    const Stats g = Summarise(gatherMs), w = Summarise(wrongMs), c = Summarise(correctMs);
    std::printf("| measure | Quillory | baseline | ratio | target |\n|---|---|---|---|---|\n");
    std::printf("| start-up, library on disk (ms, min / median / max of %d) | %.1f / %.1f / %.1f | %.1f / %.1f / %.1f | %.2fx | <= 1.25x |\n",
                runs, q.min, q.median, q.max, b.min, b.median, b.max, q.median / b.median);
    std::printf("| first start, library written (ms, min / median / max of %zu) | %.1f / %.1f / %.1f | | %.2fx | reported |\n",
                firstMs.size(), f.min, f.median, f.max, f.median / b.median);
    std::printf("| peak working set after start-up (MiB) | %.1f | %.1f | %.2fx | <= 1.5x |\n",
                quilloryMemory.peakWorkingSetMiB, baselineMemory.peakWorkingSetMiB,
                quilloryMemory.peakWorkingSetMiB / baselineMemory.peakWorkingSetMiB);
    if (quilloryMemory.privateMiB > 0)
        std::printf("| private bytes after start-up (MiB) | %.1f | %.1f | %.2fx | reported |\n", quilloryMemory.privateMiB,
                    baselineMemory.privateMiB, quilloryMemory.privateMiB / baselineMemory.privateMiB);
    else
        std::printf("| private bytes after start-up | not reported by Wine for another process | | | |\n");
    std::printf("| peak working set after the soak (MiB) | %.1f | | %.2fx | <= 1.5x |\n", soaked.peakWorkingSetMiB,
                soaked.peakWorkingSetMiB / baselineMemory.peakWorkingSetMiB);
    std::printf("| click: gather (ms, median of 200) | %.2f | | | reported |\n", g.median);
    std::printf("| click: repair, wrong entry (ms, median of 200) | %.2f | | | reported |\n", w.median);
    std::printf("| click: repair, correct entry (ms, median of 200) | %.2f | | | reported |\n", c.median);
    std::printf("| soak: %d cycles of gather + repair, entry flipped (s) | %.1f | | | reported |\n", cycles, soakSeconds);
    std::printf("| soak: handles before -> after | %lu -> %lu | | | no growth |\n", before.handles, after.handles);
    if (before.gdi + after.gdi + before.user + after.user > 0) {
        std::printf("| soak: GDI objects before -> after | %lu -> %lu | | | no growth |\n", before.gdi, after.gdi);
        std::printf("| soak: USER objects before -> after | %lu -> %lu | | | no growth |\n", before.user, after.user);
    } else {
        std::printf("| soak: GDI and USER objects | not reported by Wine for another process | | | |\n");
    }
    if (after.privateMiB > 0)
        std::printf("| soak: private bytes before -> after (MiB) | %.2f -> %.2f | | | < +1 MiB |\n", before.privateMiB,
                    after.privateMiB);
    std::printf("| soak: working set before -> after (MiB) | %.2f -> %.2f | | | < +1 MiB |\n", before.workingSetMiB,
                after.workingSetMiB);
    std::printf("| soak: link.ini afterwards | %s | | | right entry, rest unchanged |\n",
                entryRight && restIntact ? "right entry, rest unchanged" : "WRONG");
    return entryRight && restIntact ? 0 : 8;
}
