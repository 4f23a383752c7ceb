#pragma once
#include <cstddef>
#include <cstdint>

// The fatal report: the last thing the process does when it cannot go on.
// Building its text must not allocate, since running out of memory is one reason for it.
namespace services {

// Fixed-capacity text that cuts rather than allocates; always NUL-terminated.
class FixedText {
public:
    static constexpr std::size_t kCapacity = 1024;
    FixedText& Append(const char* bytes) noexcept;
    FixedText& AppendNumber(std::int64_t value) noexcept;
    // Copies `format`, putting each argument in place of the next "%s" or "%d" in turn.
    FixedText& AppendFormat(const char* format, const char* const* args, std::size_t count) noexcept;
    const char* c_str() const noexcept { return bytes_; }
    std::size_t size() const noexcept { return size_; }

private:
    char bytes_[kCapacity] = {};
    std::size_t size_ = 0;
};

// "运行时出错!" CR LF CR LF, then the code line pair when code != 0, then the message line
// when the message is not empty.
FixedText FormatFatalReport(std::int32_t code, const char* message) noexcept;
FixedText FormatOutOfMemory(std::size_t bytes) noexcept;

// Shows the report and ends the process; it must not return.
using FatalReporter = void (*)(const char* reportText) noexcept;
void SetFatalReporter(FatalReporter reporter) noexcept;

[[noreturn]] void RaiseFatal(std::int32_t code, const char* message) noexcept;

}  // namespace services
