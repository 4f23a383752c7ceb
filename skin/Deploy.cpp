#include "skin/Deploy.h"

namespace skin {

using namespace services;

void EnsureSkinLibrary(LibraryFiles& files, TextRef runDirectory, ByteSetRef library) noexcept {
    const Text path = ConcatText(runDirectory, kLibraryFileName);
    if (files.FileExists(path)) return;
    if (!files.WriteWholeFile(path, library)) {
        files.RemoveFile(path);
        return;
    }
    files.SetFileAttributeFlags(path, kHiddenAttribute);
}

}  // namespace skin
