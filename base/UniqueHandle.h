#pragma once

#include <type_traits>
#include <utility>

// Owns one handle that a library or the operating system handed out, and
// releases it the way that handle needs. Traits say how:
//
//   struct Traits {
//       using Value = ...;                  // the handle as the API spells it
//       static Value Invalid() noexcept;    // the value that owns nothing
//       static void Close(Value) noexcept;  // releases a valid handle
//   };
//
// Move-only; moving into itself keeps the handle.
template <typename Traits>
class UniqueHandle {
public:
    using Value = typename Traits::Value;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Value value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Value Get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }
    // A handle that is a pointer reaches its members directly.
    Value operator->() const noexcept requires std::is_pointer_v<Value> { return value_; }

    // Gives the handle up without releasing it.
    Value Release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    // Releases the handle held, if any, and takes value instead.
    void Reset(Value value = Traits::Invalid()) noexcept {
        const Value old = std::exchange(value_, value);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }

private:
    Value value_ = Traits::Invalid();
};

// Traits for a pointer that a C library frees with one call.
template <typename T, auto Free>
struct PointerHandleTraits {
    using Value = T*;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value value) noexcept { Free(value); }
};

template <typename T, auto Free>
using UniquePointerHandle = UniqueHandle<PointerHandleTraits<T, Free>>;
