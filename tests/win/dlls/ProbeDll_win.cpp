// A stand-in for an outside library, built in variants by the tests:
//   PROBE_ID        what SkinH_AttachRes returns, less 100, so a test sees which copy ran
//   PROBE_NO_EXPORT the library loads but lacks the export
//   PROBE_NEEDS     the library imports from a DLL that is nowhere to be found
// On unloading it writes "freed" (FreeLibrary) or "exit" (process end) into the file named by
// QUILLORY_PROBE_MARK, if set.
#include <windows.h>

#include <cstdint>

extern "C" {
__declspec(dllexport) int ProbeCalls = 0;
__declspec(dllexport) std::uintptr_t ProbeArgs[6] = {};

#if defined(PROBE_NEEDS)
__declspec(dllimport) int MissingFunction(void);
__declspec(dllexport) int __stdcall Other(void) { return MissingFunction(); }
#elif defined(PROBE_NO_EXPORT)
__declspec(dllexport) int __stdcall Other(void) { return 0; }
#else
__declspec(dllexport) int __stdcall SkinH_AttachRes(const void* data, int size, const char* text, int a, int b,
                                                     int c) {
    const std::uintptr_t args[] = {reinterpret_cast<std::uintptr_t>(data), static_cast<std::uintptr_t>(size),
                                   reinterpret_cast<std::uintptr_t>(text), static_cast<std::uintptr_t>(a),
                                   static_cast<std::uintptr_t>(b), static_cast<std::uintptr_t>(c)};
    for (int i = 0; i < 6; ++i) ProbeArgs[i] = args[i];
    ++ProbeCalls;
    return 100 + PROBE_ID;
}
#endif
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) {
        char mark[MAX_PATH] = {};
        if (GetEnvironmentVariableA("QUILLORY_PROBE_MARK", mark, MAX_PATH)) {
            HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                const char* what = reserved ? "exit" : "freed";
                DWORD written = 0;
                WriteFile(file, what, static_cast<DWORD>(lstrlenA(what)), &written, nullptr);
                CloseHandle(file);
            }
        }
    }
    return TRUE;
}
