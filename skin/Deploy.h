#pragma once
#include "services/text/Text.h"

// Putting the skin library beside the program: written once when missing, then hidden.
namespace skin {

inline constexpr char kLibraryFileName[] = "\\SkinH_EL.dll";  // appended to the run directory
inline constexpr int kHiddenAttribute = 2;

// The file operations deployment needs; the program passes the Windows services.
class LibraryFiles {
public:
    virtual bool FileExists(services::TextRef name) noexcept = 0;
    virtual bool WriteWholeFile(services::TextRef name, services::ByteSetRef data) noexcept = 0;
    virtual bool SetFileAttributeFlags(services::TextRef name, int flags) noexcept = 0;
    virtual bool RemoveFile(services::TextRef name) noexcept = 0;

protected:
    ~LibraryFiles() = default;
};

// Writes `library` to the run directory followed by \SkinH_EL.dll when no file of that name
// exists, and marks it hidden. An existing file is never replaced, examined or touched. A
// write that fails part-way is removed: a truncated library left in place would be loaded,
// and fail, at every later start, since it would never be written again.
void EnsureSkinLibrary(LibraryFiles& files, services::TextRef runDirectory, services::ByteSetRef library) noexcept;

}  // namespace skin
