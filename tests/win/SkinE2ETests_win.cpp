// Deployment of the skin library by the program itself, end to end.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "Texts.h"
#include "app/MainWindowDef.h"
#include "tests/win/ProgramTest_win.h"

using namespace testing_win;
namespace text = services::text;

namespace {

class SkinE2E : public ProgramTest {
protected:
    std::string Library() const { return dir / "SkinH_EL.dll"; }
    static std::string Payload() { return ReadFileBytes(FromEnvironment("QUILLORY_SKIN_PAYLOAD") + "\\SkinH_EL.dll"); }
    void Close(Driver& program) {
        PostMessageA(program.main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
    static std::string FatalText() { return ForeignNotFoundReport("SkinH_EL.dll", "SkinH_AttachRes"); }
};

TEST_F(SkinE2E, FirstStartWritesTheLibraryHiddenAndShowsSkin13) {
    ASSERT_TRUE(StartProgram());
    // From the moment the window is visible, every painted pixel sampled is skin 13's face:
    // the plain button face never shows. (Until the first paint lands X shows black.)
    POINT at = {4, 4};
    ClientToScreen(driver.main(), &at);
    COLORREF face = 0;
    bool plainSeen = false;
    for (int i = 0; i < 300 && (face == 0 || face == CLR_INVALID); ++i) {
        HDC screen = GetDC(nullptr);
        face = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        plainSeen = plainSeen || face == GetSysColor(COLOR_BTNFACE);
        Sleep(10);
    }
    EXPECT_EQ(face, RGB(0xEE, 0xF4, 0xF1));
    EXPECT_FALSE(plainSeen);
    EXPECT_TRUE(ReadFileBytes(Library()) == Payload());
    EXPECT_TRUE(GetFileAttributesA(Library().c_str()) & FILE_ATTRIBUTE_HIDDEN);
    Close(driver);

    // The second start leaves the file alone, even the hidden attribute the user cleared.
    SetFileAttributesA(Library().c_str(), FILE_ATTRIBUTE_NORMAL);
    const ULONGLONG written = WriteTime(Library());
    Sleep(20);
    Driver again;
    ASSERT_TRUE(StartProgram(again));
    Close(again);
    EXPECT_FALSE(GetFileAttributesA(Library().c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(WriteTime(Library()), written);
    EXPECT_TRUE(ReadFileBytes(Library()) == Payload());
}

TEST_F(SkinE2E, ForeignFileIsNeitherReplacedNorSurvived) {
    ASSERT_TRUE(WriteFileBytes(Library(), "not a library"));
    ASSERT_TRUE(CopyFileA(FromEnvironment("QUILLORY_EXE").c_str(), ProgramPath().c_str(), FALSE));
    ASSERT_TRUE(driver.Start(ProgramPath(), dir.path()));
    HWND box = driver.WaitForBox(text::kFatalCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Driver::Text(GetDlgItem(box, 0xFFFF)), FatalText());
    EXPECT_EQ(driver.WaitForWindow("QuilloryWindow", 200), nullptr) << "the window is never shown";
    Driver::Click(GetDlgItem(box, IDOK));
    EXPECT_EQ(driver.WaitForExit(), 0xFFFFFFFFu);
    EXPECT_EQ(ReadFileBytes(Library()), "not a library");
}

TEST_F(SkinE2E, UnwritableRunDirectoryEndsThroughTheReport) {
    ASSERT_TRUE(CopyFileA(FromEnvironment("QUILLORY_EXE").c_str(), ProgramPath().c_str(), FALSE));
    ASSERT_TRUE(SetImmutable(dir.path(), true));
    ASSERT_TRUE(driver.Start(ProgramPath(), dir.path()));
    HWND box = driver.WaitForBox(text::kFatalCaption);
    const std::string shown = box ? Driver::Text(GetDlgItem(box, 0xFFFF)) : "";
    if (box) Driver::Click(GetDlgItem(box, IDOK));
    const DWORD code = driver.WaitForExit();
    ASSERT_TRUE(SetImmutable(dir.path(), false));
    EXPECT_EQ(shown, FatalText());
    EXPECT_EQ(code, 0xFFFFFFFFu);
    EXPECT_EQ(GetFileAttributesA(Library().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
