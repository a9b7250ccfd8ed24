// A small owning pointer for reference-counted interfaces, for code inside
// the project: it releases its reference on every path. Public functions
// keep raw pointers.
#pragma once

#include <cstddef>
#include <utility>

namespace valmere {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adds a reference to a borrowed pointer.
    static ComPtr Share(T* object) {
        if (object != nullptr) object->AddRef();
        return ComPtr(object, 0);
    }
    // Takes over a reference the caller already owns (from a Create or Get).
    static ComPtr Adopt(T* object) { return ComPtr(object, 0); }

    ComPtr(const ComPtr& other) : object_(other.object_) {
        if (object_ != nullptr) object_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* old = std::exchange(object_, nullptr)) old->Release();
    }
    // The address to pass as a Create/Get out-parameter; drops any held
    // reference first.
    T** Receive() {
        Reset();
        return &object_;
    }
    // Hands the reference to the caller (a public out-parameter).
    T* Detach() { return std::exchange(object_, nullptr); }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.object_ == b.object_; }

private:
    ComPtr(T* object, int) : object_(object) {}
    T* object_ = nullptr;
};

}  // namespace valmere
