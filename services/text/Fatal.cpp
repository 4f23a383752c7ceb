#include "services/text/Fatal.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "Texts.h"

namespace services {
namespace {

FatalReporter gReporter = nullptr;

constexpr char kLineBreak[] = "\r\n";

}  // namespace

FixedText& FixedText::Append(const char* bytes) noexcept {
    if (!bytes) return *this;
    const std::size_t room = kCapacity - 1 - size_;
    const std::size_t n = std::min(std::strlen(bytes), room);
    std::memcpy(bytes_ + size_, bytes, n);
    size_ += n;
    bytes_[size_] = '\0';
    return *this;
}

FixedText& FixedText::AppendNumber(std::int64_t value) noexcept {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits - 1, value).ptr;
    *end = '\0';
    return Append(digits);
}

FixedText& FixedText::AppendFormat(const char* format, const char* const* args, std::size_t count) noexcept {
    std::size_t next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && next < count) {
            Append(args[next++]);
            ++p;
            continue;
        }
        const char one[2] = {*p, '\0'};
        Append(one);
    }
    return *this;
}

FixedText FormatFatalReport(std::int32_t code, const char* message) noexcept {
    FixedText text;
    text.Append(text::kFatalHeading).Append(kLineBreak).Append(kLineBreak);
    if (code != 0) text.Append(text::kFatalCodeLabel).AppendNumber(code).Append(kLineBreak).Append(kLineBreak);
    if (message && *message) text.Append(text::kFatalMessageLabel).Append(message).Append(kLineBreak);
    return text;
}

FixedText FormatOutOfMemory(std::size_t bytes) noexcept {
    FixedText number;
    number.AppendNumber(static_cast<std::int64_t>(bytes));
    const char* args[] = {number.c_str()};
    FixedText text;
    text.AppendFormat(text::kOutOfMemory, args, 1);
    return text;
}

void SetFatalReporter(FatalReporter reporter) noexcept { gReporter = reporter; }

void RaiseFatal(std::int32_t code, const char* message) noexcept {
    if (gReporter) gReporter(FormatFatalReport(code, message).c_str());
    std::abort();  // a reporter must not return; nothing of the caller may run on
}

}  // namespace services
