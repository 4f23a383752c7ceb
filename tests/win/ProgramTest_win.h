#pragma once
#include <string>

#include <gtest/gtest.h>

#include "tests/win/Driver_win.h"
#include "tests/win/Fixture_win.h"

namespace testing_win {

// Each test starts the program from its own copy in its own directory.
class ProgramTest : public ::testing::Test {
protected:
    // Copies the program into the directory and starts it; true once its window is visible.
    bool StartProgram(Driver& target) {
        if (!CopyFileA(FromEnvironment("QUILLORY_EXE").c_str(), ProgramPath().c_str(), FALSE)) return false;
        return target.Start(ProgramPath(), dir.path()) && target.WaitForWindow("QuilloryWindow") != nullptr;
    }
    bool StartProgram() { return StartProgram(driver); }
    std::string ProgramPath() const { return dir / "quillory.exe"; }

    TempDirectory dir;
    Driver driver;
};

}  // namespace testing_win
