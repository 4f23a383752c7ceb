#include "services/text/Text.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "services/text/Fatal.h"
#include "services/text/Heap.h"

namespace services {
namespace {

// The largest block a text or byte set may take: lengths travel as 32-bit signed values.
constexpr std::size_t kMaxBlock = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

const unsigned char* Bytes(TextRef text) noexcept { return reinterpret_cast<const unsigned char*>(text.c_str()); }

std::size_t Length(TextRef text) noexcept { return std::strlen(text.c_str()); }

Text FreshText(const char* bytes, std::size_t n) noexcept {
    auto* block = static_cast<char*>(AllocateBlock(n + 1));
    if (n) std::memcpy(block, bytes, n);
    block[n] = '\0';
    return Text::Adopt(block);
}

unsigned char Fold(unsigned char c, bool ignoreCase) noexcept {
    return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

// Folding touches single-byte letters only: both bytes of a double-byte character
// are compared as they are, even a trail byte in the A-Z range.
bool MatchesAt(const unsigned char* at, const unsigned char* sought, std::size_t n, bool ignoreCase) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        if (at[i] >= 0x80) {
            if (at[i] != sought[i] || (i + 1 < n && at[i + 1] != sought[i + 1])) return false;
            ++i;
        } else if (Fold(at[i], ignoreCase) != Fold(sought[i], ignoreCase)) {
            return false;
        }
    }
    return true;
}

// The one scan behind both searches: it steps a character at a time (a byte >= 0x80
// takes the next byte with it) from `begin`, so a match is only seen where a
// character starts. Forward returns the first match, reverse keeps the last.
std::int32_t Scan(TextRef text, TextRef sought, std::int64_t begin, bool reverse, bool ignoreCase) noexcept {
    const unsigned char* t = Bytes(text);
    const auto length = static_cast<std::int64_t>(Length(text));
    const auto soughtLength = static_cast<std::int64_t>(Length(sought));
    std::int64_t offset = begin < length ? begin : length;
    std::int64_t remaining = length - offset;
    if (soughtLength == 0) return remaining > 0 ? 1 : -1;
    std::int32_t result = -1;
    while (remaining >= soughtLength) {
        if (MatchesAt(t + offset, Bytes(sought), static_cast<std::size_t>(soughtLength), ignoreCase)) {
            result = static_cast<std::int32_t>(offset + 1);
            if (!reverse) return result;
        }
        if (t[offset] >= 0x80) {
            if (t[offset + 1] == '\0') return result;  // a lead byte with nothing to pair
            offset += 2;
            remaining -= 2;
        } else {
            offset += 1;
            remaining -= 1;
        }
    }
    return result;
}

}  // namespace

void* AllocateBlock(std::size_t size) noexcept {
    void* block = size <= kMaxBlock ? HeapTryAllocate(size) : nullptr;
    if (!block) RaiseFatal(0, FormatOutOfMemory(size).c_str());
    return block;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        HeapRelease(bytes_);
        bytes_ = other.bytes_;
        other.bytes_ = nullptr;
    }
    return *this;
}

Text::~Text() { HeapRelease(bytes_); }

Text Text::Adopt(char* block) noexcept {
    Text text;
    text.bytes_ = block;
    return text;
}

std::int32_t TextLength(TextRef text) noexcept {
    const std::size_t n = Length(text);
    return n > kMaxBlock ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(n);
}

Text ConcatParts(const TextRef* parts, std::size_t* lengths, std::size_t count) noexcept {
    std::size_t total = 1;
    for (std::size_t i = 0; i < count; ++i) {
        lengths[i] = Length(parts[i]);
        total = total > kMaxBlock || lengths[i] > kMaxBlock ? kMaxBlock + 1 : total + lengths[i];
    }
    auto* block = static_cast<char*>(AllocateBlock(total));
    char* out = block;
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(out, parts[i].c_str(), lengths[i]);
        out += lengths[i];
    }
    *out = '\0';
    return Text::Adopt(block);
}

std::int32_t CompareText(TextRef a, TextRef b) noexcept {
    const int order = std::strcmp(a.c_str(), b.c_str());  // strcmp compares as unsigned char
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

std::int32_t FindText(TextRef text, TextRef sought, std::int32_t start, bool ignoreCase) noexcept {
    const std::int64_t begin = static_cast<std::int64_t>(start) - 1;
    return Scan(text, sought, begin < 0 ? 0 : begin, false, ignoreCase);
}

std::int32_t FindTextReverse(TextRef text, TextRef sought, bool ignoreCase) noexcept {
    return Scan(text, sought, 0, true, ignoreCase);
}

Text TextLeft(TextRef text, std::int32_t count) noexcept {
    const std::size_t length = Length(text);
    if (count <= 0 || length == 0) return {};
    return FreshText(text.c_str(), std::min(static_cast<std::size_t>(count), length));
}

Text CopyText(TextRef text) noexcept {
    if (text.IsAbsent()) return {};
    return FreshText(text.c_str(), Length(text));
}

Text TextFromBytes(std::string_view bytes) noexcept {
    const std::size_t n = std::min(bytes.find('\0'), bytes.size());
    if (n == 0) return {};
    return FreshText(bytes.data(), n);
}

std::int64_t TruncateToInteger(double value) noexcept {
    // 2^63 is exact as a double; anything at or past it (and NaN) does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(value >= -kLimit && value < kLimit)) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);  // C++ conversion truncates; it does not consult the mode
}

std::uint32_t ByteSetLength(ByteSetRef set) noexcept {
    const unsigned char* b = set.block();
    if (!b) return 0;
    return static_cast<std::uint32_t>(b[4]) | static_cast<std::uint32_t>(b[5]) << 8 |
           static_cast<std::uint32_t>(b[6]) << 16 | static_cast<std::uint32_t>(b[7]) << 24;
}

const unsigned char* ByteSetData(ByteSetRef set) noexcept {
    return set.block() ? set.block() + kByteSetHeader : nullptr;
}

ByteSet& ByteSet::operator=(ByteSet&& other) noexcept {
    if (this != &other) {
        HeapRelease(block_);
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

ByteSet::~ByteSet() { HeapRelease(block_); }

ByteSet ByteSet::Adopt(unsigned char* block) noexcept {
    ByteSet set;
    set.block_ = block;
    return set;
}

ByteSet CopyByteSet(ByteSetRef set) noexcept {
    const std::size_t size = kByteSetHeader + ByteSetLength(set);
    auto* block = static_cast<unsigned char*>(AllocateBlock(size));
    std::memcpy(block, set.block() ? set.block() : kEmptyByteSet, size);
    return ByteSet::Adopt(block);
}

}  // namespace services
