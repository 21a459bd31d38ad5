#pragma once
// TObject and class references.
//
// Every host class that scripts may see derives from TObject and declares itself with
// XAN_CLASS(Self, Parent). That gives it a per-class descriptor (TClassInfo) holding its name,
// parent, instance size and a default factory; a class reference (TClass) is a pointer to that
// descriptor, so registries key on it and ancestry is a walk up the parent chain.
//
// Class-level virtual operations (hash traits, wrapper classes) use the metaclass pattern:
// one immutable singleton per class, derived from a descriptor base with virtual functions and
// a parent pointer (see TMetaClass below); "the class" is a pointer to that singleton.
#include <cstddef>
#include <type_traits>

#include "platform/core/UString.h"

namespace xan::plat {

class TObject;

struct TClassInfo {
    const char16_t* name;
    const TClassInfo* parent;
    std::size_t instanceSize;
    TObject* (*create)();  // null when the class has no default constructor

    bool InheritsFrom(const TClassInfo* ancestor) const noexcept {
        for (const TClassInfo* c = this; c; c = c->parent)
            if (c == ancestor) return true;
        return false;
    }
};
using TClass = const TClassInfo*;

namespace detail {
template <class T>
constexpr TObject* (*DefaultFactory())() {
    if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
        return []() -> TObject* { return new T(); };
    else
        return nullptr;
}
}  // namespace detail

// Called from ~TObject before the memory goes, so that registries holding raw pointers to
// host objects (the wrapper registry) learn that the object is gone.
using TObjectFreeHook = void (*)(TObject* object);
void SetObjectFreeHook(TObjectFreeHook hook) noexcept;
TObjectFreeHook GetObjectFreeHook() noexcept;

class TObject {
public:
    TObject() noexcept = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static TClass StaticClass() noexcept;
    virtual TClass ClassType() const noexcept { return StaticClass(); }

    UString ClassName() const { return UString(ClassType()->name); }
    bool ClassNameIs(std::u16string_view name) const noexcept;  // ignores ASCII case
    TClass ClassParent() const noexcept { return ClassType()->parent; }
    std::size_t InstanceSize() const noexcept { return ClassType()->instanceSize; }
    bool InheritsFrom(TClass ancestor) const noexcept { return ClassType()->InheritsFrom(ancestor); }
    template <class T>
    bool Is() const noexcept { return InheritsFrom(T::StaticClass()); }
};

// Creates an instance through a class reference; null when the class has no default factory.
inline TObject* CreateInstance(TClass cls) { return cls && cls->create ? cls->create() : nullptr; }

// Base of metaclass singletons: class-level virtual operations over a parent chain.
struct TMetaClass {
    const TMetaClass* parent = nullptr;
    constexpr explicit TMetaClass(const TMetaClass* p = nullptr) noexcept : parent(p) {}
    virtual ~TMetaClass() = default;
    bool InheritsFrom(const TMetaClass* ancestor) const noexcept {
        for (const TMetaClass* c = this; c; c = c->parent)
            if (c == ancestor) return true;
        return false;
    }
};

}  // namespace xan::plat

// Declares a TObject descendant's class descriptor. Leaves the class body in public access.
#define XAN_CLASS(Self, Parent)                                                                  \
public:                                                                                          \
    static ::xan::plat::TClass StaticClass() noexcept {                                          \
        static const ::xan::plat::TClassInfo info{u"" #Self, Parent::StaticClass(), sizeof(Self), \
                                                  ::xan::plat::detail::DefaultFactory<Self>()};  \
        return &info;                                                                            \
    }                                                                                            \
    ::xan::plat::TClass ClassType() const noexcept override { return StaticClass(); }
