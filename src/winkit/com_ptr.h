#pragma once
// An owning COM interface pointer: AddRef on copy, Release on reset, QueryInterface by type.
#include <unknwn.h>

#include <utility>

namespace winkit {

template <typename T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(std::nullptr_t) noexcept {}
    // Takes a reference the caller already owns.
    static com_ptr attach(T* raw) noexcept {
        com_ptr p;
        p.ptr_ = raw;
        return p;
    }
    // Adds a reference of its own.
    static com_ptr copy(T* raw) noexcept {
        if (raw) raw->AddRef();
        return attach(raw);
    }
    com_ptr(const com_ptr& other) noexcept : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
    }
    com_ptr(com_ptr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    com_ptr& operator=(com_ptr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~com_ptr() { reset(); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void reset() noexcept {
        if (T* old = std::exchange(ptr_, nullptr)) old->Release();
    }
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    template <typename U>
    com_ptr<U> query() const noexcept {
        com_ptr<U> result;
        if (ptr_) ptr_->QueryInterface(__uuidof(U), result.put_void());
        return result;
    }
    com_ptr<IUnknown> query(REFIID iid) const noexcept {
        com_ptr<IUnknown> result;
        if (ptr_) ptr_->QueryInterface(iid, result.put_void());
        return result;
    }

private:
    T* ptr_ = nullptr;
};

}  // namespace winkit
