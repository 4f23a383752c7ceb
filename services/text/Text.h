#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// Text values and byte sets: the values every handler passes around.
// A text is NUL-terminated bytes in the ANSI code page; it may be absent, and absent
// behaves exactly as empty in every operation. Positions are 1-based byte offsets and
// -1 means not found. Owning values release their block when they go out of scope.
namespace services {

// Never returns nullptr: when the heap refuses, the fatal report ends the process.
void* AllocateBlock(std::size_t size) noexcept;

class Text {
public:
    Text() noexcept = default;  // absent
    Text(Text&& other) noexcept : bytes_(other.bytes_) { other.bytes_ = nullptr; }
    Text& operator=(Text&& other) noexcept;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    ~Text();

    const char* c_str() const noexcept { return bytes_ ? bytes_ : ""; }
    bool IsAbsent() const noexcept { return bytes_ == nullptr; }

    // Takes over a NUL-terminated block from AllocateBlock.
    static Text Adopt(char* block) noexcept;

private:
    char* bytes_ = nullptr;
};

// A borrowed text argument: a literal, a buffer or an owning Text (nullptr is absent).
class TextRef {
public:
    constexpr TextRef(const char* bytes) noexcept : bytes_(bytes) {}  // NOLINT: implicit by design
    TextRef(const Text& text) noexcept : bytes_(text.IsAbsent() ? nullptr : text.c_str()) {}  // NOLINT
    constexpr const char* c_str() const noexcept { return bytes_ ? bytes_ : ""; }
    constexpr bool IsAbsent() const noexcept { return bytes_ == nullptr; }

private:
    const char* bytes_;
};

std::int32_t TextLength(TextRef text) noexcept;
// One block of exactly (sum of lengths + 1) bytes; never absent. Each part is measured
// once, into `lengths`, which has room for `count` sizes.
Text ConcatParts(const TextRef* parts, std::size_t* lengths, std::size_t count) noexcept;
template <class... Parts>
Text ConcatText(const Parts&... parts) noexcept {
    static_assert(sizeof...(Parts) >= 1, "ConcatText joins one or more texts");
    const TextRef refs[] = {TextRef(parts)...};
    std::size_t lengths[sizeof...(Parts)];
    return ConcatParts(refs, lengths, sizeof...(Parts));
}
// -1, 0 or 1, comparing unsigned bytes.
std::int32_t CompareText(TextRef a, TextRef b) noexcept;
// A byte >= 0x80 starts a two-byte character; matches are found only where a character starts.
std::int32_t FindText(TextRef text, TextRef sought, std::int32_t start, bool ignoreCase) noexcept;
std::int32_t FindTextReverse(TextRef text, TextRef sought, bool ignoreCase) noexcept;
// The first min(count, length) bytes; absent for a count <= 0 or an empty text.
Text TextLeft(TextRef text, std::int32_t count) noexcept;
// Absent stays absent; a present empty text gives a fresh empty one.
Text CopyText(TextRef text) noexcept;
// A fresh text of the bytes up to the first NUL; absent when that is empty.
Text TextFromBytes(std::string_view bytes) noexcept;
// Rounds toward zero in every rounding mode and leaves the mode alone. NaN and values
// outside the 64-bit range give INT64_MIN, the x86 "integer indefinite".
std::int64_t TruncateToInteger(double value) noexcept;

// Byte set: a 4-byte flag word (1), a 4-byte little-endian length, then the data.
inline constexpr std::size_t kByteSetHeader = 8;
inline constexpr unsigned char kEmptyByteSet[kByteSetHeader] = {1, 0, 0, 0, 0, 0, 0, 0};

class ByteSetRef {
public:
    constexpr ByteSetRef(const unsigned char* block) noexcept : block_(block) {}  // NOLINT
    constexpr const unsigned char* block() const noexcept { return block_; }

private:
    const unsigned char* block_;  // the header, or nullptr when absent
};

std::uint32_t ByteSetLength(ByteSetRef set) noexcept;
// What a foreign function receives: the first data byte, or nullptr when absent.
const unsigned char* ByteSetData(ByteSetRef set) noexcept;

class ByteSet {
public:
    ByteSet() noexcept = default;
    ByteSet(ByteSet&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    ByteSet& operator=(ByteSet&& other) noexcept;
    ByteSet(const ByteSet&) = delete;
    ByteSet& operator=(const ByteSet&) = delete;
    ~ByteSet();
    operator ByteSetRef() const noexcept { return block_; }  // NOLINT
    static ByteSet Adopt(unsigned char* block) noexcept;

private:
    unsigned char* block_ = nullptr;
};

// A block of (length + 8) bytes, byte for byte the same.
ByteSet CopyByteSet(ByteSetRef set) noexcept;

}  // namespace services
