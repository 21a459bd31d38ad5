#pragma once
// Method pointers: a code pointer plus an object pointer, the shape host event properties store.
// Event<R(A...)> is the typed form ordinary C++ code uses: bind a member function, a plain
// function with user data, or any callable (which the event then keeps alive).
#include <memory>
#include <type_traits>
#include <utility>

namespace xan::plat {

struct TMethod {
    void* Code = nullptr;
    void* Data = nullptr;
    explicit operator bool() const noexcept { return Code != nullptr; }
    friend bool operator==(const TMethod&, const TMethod&) = default;
};

template <class Sig>
class Event;

template <class R, class... A>
class Event<R(A...)> {
public:
    using Thunk = R (*)(void*, A...);

    Event() noexcept = default;
    Event(std::nullptr_t) noexcept {}

    // Any callable: a lambda, a std::function, a functor. The event owns a copy.
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, Event> &&
                                                std::is_invocable_r_v<R, F&, A...>>>
    Event(F&& f) {
        using Fn = std::decay_t<F>;
        auto owned = std::make_shared<Fn>(std::forward<F>(f));
        m_.Data = owned.get();
        m_.Code = reinterpret_cast<void*>(static_cast<Thunk>([](void* d, A... a) -> R {
            return (*static_cast<Fn*>(d))(std::forward<A>(a)...);
        }));
        owner_ = std::move(owned);
    }

    // A member function of an object that outlives the binding.
    template <auto MemberFn, class C>
    static Event Bind(C* obj) noexcept {
        Event e;
        e.m_.Data = obj;
        e.m_.Code = reinterpret_cast<void*>(static_cast<Thunk>(
            [](void* d, A... a) -> R { return (static_cast<C*>(d)->*MemberFn)(std::forward<A>(a)...); }));
        return e;
    }
    static Event FromFunction(Thunk fn, void* data) noexcept { return FromMethod({reinterpret_cast<void*>(fn), data}); }
    static Event FromMethod(TMethod m) noexcept {
        Event e;
        e.m_ = m;
        return e;
    }

    explicit operator bool() const noexcept { return m_.Code != nullptr; }
    R operator()(A... a) const { return reinterpret_cast<Thunk>(m_.Code)(m_.Data, std::forward<A>(a)...); }
    // Calls when assigned; an unassigned event is skipped.
    void Fire(A... a) const {
        if (m_.Code) reinterpret_cast<Thunk>(m_.Code)(m_.Data, std::forward<A>(a)...);
    }
    TMethod AsMethod() const noexcept { return m_; }

private:
    TMethod m_;
    std::shared_ptr<void> owner_;
};

}  // namespace xan::plat
