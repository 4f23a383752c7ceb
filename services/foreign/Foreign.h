#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

// Calls into outside libraries through a table fixed at build time. An entry is resolved at
// its first call (the run directory first, then the system's search) and kept; every failure
// (no library, no export, a stack left unbalanced) ends the process through the fatal report.
namespace services {

struct ForeignFunction {
    const char* library;     // a bare file name
    const char* exportName;
};

// Every entry unresolved. The table must outlive the process's use of it.
void LoadForeignTable(std::span<const ForeignFunction> table) noexcept;

// Calls entry `entry` with word-sized arguments (texts and byte sets as addresses) in the
// stdcall convention and returns its 32-bit result.
std::int32_t CallForeignFunction(std::size_t entry, std::initializer_list<std::uintptr_t> args) noexcept;

// FreeLibrary on every library the table loaded, once each; the table is emptied.
void ReleaseForeignLibraries() noexcept;

}  // namespace services
