// Checks FindText and FindTextReverse against a reference written the slow, obvious way:
// classify every byte from the scan's start, list where characters begin, then compare.
// Input: flags byte (bit 0 ignore case, bit 1 reverse), a little-endian 32-bit start,
// then the text and the sought text separated by a NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "services/text/Text.h"

namespace {

enum class Kind { Single, Lead, Trail };

int Reference(const std::string& t, const std::string& q, std::int64_t begin, bool reverse, bool ignoreCase) {
    const std::size_t length = t.size();
    const std::size_t b = begin < 0 ? 0 : static_cast<std::size_t>(begin);
    if (b >= length) return -1;
    std::vector<Kind> kind(length, Kind::Single);
    std::vector<std::size_t> starts;
    for (std::size_t i = b; i < length;) {
        starts.push_back(i);
        if (static_cast<unsigned char>(t[i]) >= 0x80) {
            kind[i] = Kind::Lead;
            if (i + 1 >= length) break;
            kind[i + 1] = Kind::Trail;
            i += 2;
        } else {
            i += 1;
        }
    }
    if (q.empty()) return 1;
    auto fold = [&](unsigned char c) { return ignoreCase && c >= 'A' && c <= 'Z' ? c + 0x20 : c; };
    int found = -1;
    for (const std::size_t s : starts) {
        if (length - s < q.size()) break;
        bool equal = true;
        for (std::size_t j = 0; j < q.size() && equal; ++j) {
            const auto a = static_cast<unsigned char>(t[s + j]);
            const auto c = static_cast<unsigned char>(q[j]);
            equal = kind[s + j] == Kind::Single ? fold(a) == fold(c) : a == c;
        }
        if (!equal) continue;
        found = static_cast<int>(s + 1);
        if (!reverse) break;
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const bool ignoreCase = data[0] & 1;
    const bool reverse = data[0] & 2;
    std::uint32_t word = 0;
    for (int i = 4; i >= 1; --i) word = word << 8 | data[i];
    const auto start = static_cast<std::int32_t>(word);
    const std::string rest(reinterpret_cast<const char*>(data + 5), size - 5);
    const std::size_t cut = rest.find('\0');
    const std::string text = rest.substr(0, cut);
    const std::string sought = cut == std::string::npos ? std::string() : rest.substr(cut + 1, rest.find('\0', cut + 1) - cut - 1);

    const int got = reverse ? services::FindTextReverse(text.c_str(), sought.c_str(), ignoreCase)
                            : services::FindText(text.c_str(), sought.c_str(), start, ignoreCase);
    const int want = Reference(text, sought, reverse ? 0 : static_cast<std::int64_t>(start) - 1, reverse, ignoreCase);
    if (got != want) std::abort();
    return 0;
}
