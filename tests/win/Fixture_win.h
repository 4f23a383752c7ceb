#pragma once
#include <windows.h>

#include <string>

#include "tests/win/Driver_win.h"

namespace testing_win {

// A fresh directory under the Windows temp directory, removed with everything in it.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

// A file's last-write time, for telling whether anything wrote it.
ULONGLONG WriteTime(const std::string& path);

// The fatal report's text for a library or export that cannot be found, in GBK.
std::string ForeignNotFoundReport(const std::string& library, const std::string& exportName);

// Makes a file unwritable even for root (Linux's immutable flag, set through Wine). Wine
// run as root ignores the read-only attribute, so this is how a write is made to fail.
bool SetImmutable(const std::string& path, bool on);

// Holds a file open without any sharing, as another program might.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool ok() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_;
};

// Where tests leave pictures for people: the build tree, named by QUILLORY_ARTIFACTS.
std::string ArtifactPath(const std::string& name);
bool SaveWindowBitmap(HWND hwnd, const std::string& path);

}  // namespace testing_win
