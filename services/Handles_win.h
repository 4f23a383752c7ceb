#pragma once
#include <windows.h>

#include <utility>

// One move-only owner per kind of handle; each closes exactly once.
namespace services {

template <class Traits>
class Unique {
public:
    using Type = typename Traits::Type;
    Unique() noexcept = default;
    explicit Unique(Type handle) noexcept : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Empty())) {}
    Unique& operator=(Unique other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~Unique() {
        if (handle_ != Traits::Empty()) Traits::Close(handle_);
    }
    Type get() const noexcept { return handle_; }
    Type* put() noexcept {
        *this = Unique();
        return &handle_;
    }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }
    Type release() noexcept { return std::exchange(handle_, Traits::Empty()); }

private:
    Type handle_ = Traits::Empty();
};

struct FileTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};
struct KeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type h) noexcept { RegCloseKey(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { FindClose(h); }
};

using UniqueFile = Unique<FileTraits>;
using UniqueKey = Unique<KeyTraits>;
using UniqueFind = Unique<FindTraits>;

}  // namespace services
