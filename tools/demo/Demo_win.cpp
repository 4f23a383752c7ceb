// The demonstration: lays out a sample Easy Language installation whose link.ini names the
// wrong linker, then (unless only preparing) runs Quillory, clicks its two buttons as a user
// would, and writes a report and a screenshot after each step.
//
//   quillory_demo PROGRAM REPORT SHOTS_DIR [--prepare]
#include <windows.h>

#include <string>

#include "Texts.h"
#include "app/MainWindowDef.h"
#include "tests/win/Driver_win.h"
#include "tests/win/Fixture_win.h"

using namespace testing_win;

namespace {

const std::string kRoot = "C:\\\xD2\xD7\xD3\xEF\xD1\xD4\\";  // C:\易语言\ (GBK)
const std::string kIni = kRoot + "tools\\link.ini";
const std::string kProgramDir = "C:\\Quillory";
const char kWrongIni[] =
    "[linker]\r\n"
    "linker=C:\\Program Files\\Microsoft Visual Studio\\VC98\\Bin\\LINK.EXE\r\n"
    "[compile]\r\n"
    "optimize=1\r\n";

bool Prepare(const std::string& program) {
    CreateDirectoryA(kRoot.c_str(), nullptr);
    CreateDirectoryA((kRoot + "lib").c_str(), nullptr);
    CreateDirectoryA((kRoot + "tools").c_str(), nullptr);
    CreateDirectoryA((kRoot + "VC98linker").c_str(), nullptr);
    CreateDirectoryA((kRoot + "VC98linker\\bin").c_str(), nullptr);
    WriteFileBytes(kRoot + "VC98linker\\bin\\link.exe", "");
    CreateDirectoryA(kProgramDir.c_str(), nullptr);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\FlySky\\E\\Install", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::string value = kRoot + "lib\\";
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return WriteFileBytes(kIni, kWrongIni) &&
           CopyFileA(program.c_str(), (kProgramDir + "\\quillory.exe").c_str(), FALSE);
}

class Report {
public:
    void Line(const std::string& text) { text_ += text + "\r\n"; }
    void Boxes(Driver& d) {
        const struct {
            const char* label;
            int id;
        } boxes[] = {{services::text::kLabelConfigPath, app::kEditBox1},
                     {services::text::kLabelInstallDir, app::kEditBox2},
                     {services::text::kLabelCurrent, app::kEditBox3},
                     {services::text::kLabelNew, app::kEditBox4}};
        for (const auto& box : boxes) Line(std::string("  ") + box.label + " " + Driver::Text(d.Control(box.id)));
        Line("  " + d.StatusText(d.Control(app::kStatusBar1), 0));
    }
    void File(const std::string& title) {
        Line(title);
        Line(ReadFileBytes(kIni));
    }
    bool Save(const std::string& path) { return WriteFileBytes(path, text_); }

private:
    std::string text_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string program = argv[1];
    const std::string reportPath = argv[2];
    const std::string shots = argv[3];
    if (!Prepare(program)) return 3;
    if (argc > 4 && std::string(argv[4]) == "--prepare") return 0;

    Report report;
    report.File("link.ini before:");
    Driver quillory;
    if (!quillory.Start(kProgramDir + "\\quillory.exe", kProgramDir) || !quillory.WaitForWindow("QuilloryWindow"))
        return 4;
    quillory.WaitForFocus(quillory.Control(app::kEditBox1));
    Sleep(300);
    SaveWindowBitmap(quillory.main(), shots + "\\1-start.bmp");

    report.Line(std::string("Click ") + services::text::kButtonGather + ":");
    Driver::Click(quillory.Control(app::kButton2));
    report.Boxes(quillory);
    Sleep(200);
    SaveWindowBitmap(quillory.main(), shots + "\\2-gathered.bmp");

    report.Line(std::string("Click ") + services::text::kButtonRepair + ":");
    Driver::Click(quillory.Control(app::kButton1));
    report.Boxes(quillory);
    Sleep(200);
    SaveWindowBitmap(quillory.main(), shots + "\\3-repaired.bmp");
    report.File("link.ini after:");

    PostMessageA(quillory.main(), WM_CLOSE, 0, 0);
    report.Line("Quillory closed with exit code " + std::to_string(quillory.WaitForExit()));
    return report.Save(reportPath) ? 0 : 5;
}
