#include "platform/core/Object.h"

#include <atomic>

namespace xan::plat {

namespace {
std::atomic<TObjectFreeHook> g_freeHook{nullptr};
}

void SetObjectFreeHook(TObjectFreeHook hook) noexcept { g_freeHook.store(hook, std::memory_order_release); }
TObjectFreeHook GetObjectFreeHook() noexcept { return g_freeHook.load(std::memory_order_acquire); }

TObject::~TObject() {
    if (TObjectFreeHook hook = g_freeHook.load(std::memory_order_acquire)) hook(this);
}

TClass TObject::StaticClass() noexcept {
    static const TClassInfo info{u"TObject", nullptr, sizeof(TObject), detail::DefaultFactory<TObject>()};
    return &info;
}

bool TObject::ClassNameIs(std::u16string_view name) const noexcept {
    std::u16string_view own(ClassType()->name);
    if (own.size() != name.size()) return false;
    for (std::size_t i = 0; i < own.size(); ++i) {
        char16_t a = own[i], b = name[i];
        if (a >= u'a' && a <= u'z') a -= 32;
        if (b >= u'a' && b <= u'z') b -= 32;
        if (a != b) return false;
    }
    return true;
}

}  // namespace xan::plat
