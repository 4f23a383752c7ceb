#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "services/text/Text.h"

// Files, private profiles (INI) and the registry, over the ANSI Windows calls. Nothing
// here shows a message or retries: failure is in the result (false, the default, empty).
namespace services {

// Fixes the run directory from the executable's path and makes it the current directory.
void InitRunDirectory() noexcept;
// A fresh copy each call; absent when the executable's path held no backslash.
Text GetRunDirectory() noexcept;

// True for files and directories, hidden ones too; wildcards in the last part match any entry.
bool FileExists(TextRef name) noexcept;
// The attributes become exactly flags & 39 (read-only 1, hidden 2, system 4, archive 32).
bool SetFileAttributeFlags(TextRef name, std::int32_t flags) noexcept;
// Creates or truncates the file, then writes each byte set in turn. False for the empty
// name (nothing touched), when the file cannot be opened, or when a write or the close fails
// (the file then keeps what was written).
bool WriteWholeFile(TextRef name, std::initializer_list<ByteSetRef> data) noexcept;

// Deletes a file; false when it is not there or cannot be deleted.
bool RemoveFile(TextRef name) noexcept;

// Root numbers: 1 HKCR, 2 HKCC, 3 HKCU, 4 HKLM, 5 HKU, anything else HKCU. The path ends in
// the value name. Only REG_SZ and REG_EXPAND_SZ (expanded) count as text; everything else
// gives the default.
Text ReadRegistryText(std::int32_t root, TextRef path, TextRef defaultText = nullptr) noexcept;

inline constexpr std::size_t kProfileBufferBytes = 10240;
// At most kProfileBufferBytes - 1 bytes of the value; the empty text when file, section or
// key is empty once leading blanks are skipped.
Text ReadProfileText(TextRef file, TextRef section, TextRef key, TextRef defaultText = nullptr) noexcept;
// The profile service's success flag. An omitted key removes the section, an omitted value
// the key. An empty file name fails and touches nothing.
bool WriteProfileText(TextRef file, TextRef section, std::optional<TextRef> key,
                      std::optional<TextRef> value) noexcept;

}  // namespace services
