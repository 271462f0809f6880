// Objects the host shares by handle (option values, images, textures). Their
// reference counts change only inside the critical section of the global
// VUDOZ object; an object is deleted through its virtual destructor when its
// count reaches zero.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/windows.h"

struct Vudoz_Global {
    Vudoz_Global();
    ~Vudoz_Global();
    // Held only while a reference count changes: the innermost lock.
    CRITICAL_SECTION critical_section;
};

extern Vudoz_Global VUDOZ;

class HT_Counted {
public:
    HT_Counted() = default;
    HT_Counted(const HT_Counted&) = delete;
    HT_Counted& operator=(const HT_Counted&) = delete;

    // Read under VUDOZ's critical section.
    int32_t reference_count() const;

protected:
    virtual ~HT_Counted();

private:
    friend void HT_Add_Shared_Reference(HT_Counted* object);
    friend void HT_Release_Shared_Reference(HT_Counted* object);
    int32_t count_ = 0;
};

// Adds one reference (nothing for null).
void HT_Add_Shared_Reference(HT_Counted* object);
// Drops one reference of a non-null object; deletes it at zero, still inside
// the critical section.
void HT_Release_Shared_Reference(HT_Counted* object);

// A counted handle: copying adds a reference, destruction drops one.
template <class T>
class HT_Shared_Handle {
public:
    HT_Shared_Handle() = default;
    // Takes over a fresh object and counts this handle as its first holder.
    explicit HT_Shared_Handle(T* fresh) : object_(fresh) { HT_Add_Shared_Reference(object_); }
    HT_Shared_Handle(const HT_Shared_Handle& other) : object_(other.object_) {
        HT_Add_Shared_Reference(object_);
    }
    HT_Shared_Handle(HT_Shared_Handle&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    HT_Shared_Handle& operator=(const HT_Shared_Handle& other) {
        assign(other);
        return *this;
    }
    HT_Shared_Handle& operator=(HT_Shared_Handle&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ~HT_Shared_Handle() { reset(); }

    // Drops this handle's reference and leaves it null.
    void reset() {
        if (object_ != nullptr) {
            HT_Release_Shared_Reference(object_);
            object_ = nullptr;
        }
    }
    // The new reference is added before the old one is dropped, so assigning
    // a handle to itself is safe.
    void assign(const HT_Shared_Handle& source) {
        T* object = source.object_;
        HT_Add_Shared_Reference(object);
        reset();
        object_ = object;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    bool is_null() const { return object_ == nullptr; }

private:
    T* object_ = nullptr;
};
