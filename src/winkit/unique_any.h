#pragma once
// One move-only owner for every kind of handle: the traits name the handle type, its
// "no handle" value and how it is released.
#include <utility>

namespace winkit {

template <typename Traits>
class unique_any {
public:
    using pointer = typename Traits::type;

    unique_any() noexcept = default;
    explicit unique_any(pointer value) noexcept : value_(value) {}
    ~unique_any() { reset(); }

    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    // Releases what is held and hands out the slot for a function that fills it.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }

    [[nodiscard]] pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

private:
    pointer value_ = Traits::invalid();
};

}  // namespace winkit
