#pragma once
// ComPtr<T>: the owning pointer to a reference-counted interface. Ordinary code holds
// interfaces only through it, so AddRef and Release never appear by hand.
#include <cstddef>
#include <utility>

#include "platform/ole/ComIntf.h"

namespace xan::plat {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Shares `p` (AddRef).
    ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
        requires std::is_convertible_v<U*, T*>
    ComPtr(const ComPtr<U>& o) noexcept : ComPtr(static_cast<T*>(o.Get())) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) noexcept {
        ComPtr(o).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        ComPtr(std::move(o)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        Reset();
        return *this;
    }

    // Takes over a reference the caller owns (no AddRef).
    static ComPtr Attach(T* p) noexcept {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Gives up the reference without releasing it.
    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    void Reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // For out parameters: releases the current interface and returns the slot to fill.
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void Swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

    // QueryInterface for U (which names its identifier as U::IID); null when unsupported.
    template <class U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> out;
        if (p_) static_cast<IUnknown*>(p_)->QueryInterface(U::IID, out.PutVoid());
        return out;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// Whether two interface pointers belong to the same object (their IUnknown identities agree).
bool SameObject(IUnknown* a, IUnknown* b) noexcept;

}  // namespace xan::plat
