// Owners for COM pointers, BSTRs and kernel handles, and the guard that keeps C++
// exceptions from crossing a COM or window-procedure boundary.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

namespace standin {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(T* p) noexcept : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }

    void Reset() noexcept { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For out-parameters: releases what is held and hands out the slot.
    T** Put() noexcept { Reset(); return &p_; }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // Takes over a pointer that already carries a reference.
    static ComPtr Adopt(T* p) noexcept { ComPtr c; c.p_ = p; return c; }

    template <class U>
    ComPtr<U> Query(REFIID iid) const noexcept {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(iid, out.PutVoid());
        return out;
    }

private:
    T* p_ = nullptr;
};

class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(BSTR b) noexcept : b_(b) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& o) noexcept { std::swap(b_, o.b_); return *this; }
    ~UniqueBstr() { SysFreeString(b_); }

    BSTR Get() const noexcept { return b_; }
    BSTR Release() noexcept { return std::exchange(b_, nullptr); }
    BSTR* Put() noexcept { SysFreeString(std::exchange(b_, nullptr)); return &b_; }

private:
    BSTR b_ = nullptr;
};

class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(HANDLE h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { std::swap(h_, o.h_); return *this; }
    ~UniqueHandle() { Reset(); }

    void Reset() noexcept {
        HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        if (h != INVALID_HANDLE_VALUE && h != nullptr) CloseHandle(h);
    }
    HANDLE Get() const noexcept { return h_; }
    bool Valid() const noexcept { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

class UniqueRegKey {
public:
    UniqueRegKey() noexcept = default;
    UniqueRegKey(const UniqueRegKey&) = delete;
    UniqueRegKey& operator=(const UniqueRegKey&) = delete;
    ~UniqueRegKey() { if (k_) RegCloseKey(k_); }
    HKEY Get() const noexcept { return k_; }
    HKEY* Put() noexcept { if (k_) RegCloseKey(k_); k_ = nullptr; return &k_; }

private:
    HKEY k_ = nullptr;
};

// Runs the body of a COM method; an exception becomes an HRESULT instead of unwinding
// into the caller, which is not C++.
template <class F>
HRESULT Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// A BSTR with SysStringLen's length: embedded NULs are text, a null BSTR is empty.
inline std::wstring BstrText(BSTR b) {
    return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}

}  // namespace standin
