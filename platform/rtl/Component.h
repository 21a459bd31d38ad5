#pragma once
// TComponent: the base of components. A component may have an owner, which keeps its owned
// components in insertion order and destroys them when it goes; it has a Name unique among its
// owner's components; a state with the loading and destroying flags; and it tells interested
// components when it goes (FreeNotification / Notification with opRemove).
//
// Destruction: the destructor marks the component destroying, tells the components that asked
// for free notification, destroys the owned components (last first) and leaves its owner, which
// notifies the owner's other components. A descendant whose destructor must not react to
// notifications any more calls Destroying() first.
//
// Loading: there are no stored forms; a host that restores properties brackets the work with
// BeginLoading/EndLoading, and EndLoading calls Loaded on the component and then on every owned
// component (depth first, in component order), after all of them have left the loading state.
#include <cstdint>
#include <vector>

#include "platform/core/Types.h"
#include "platform/rtl/Persistent.h"

namespace xan::plat {

enum class TOperation { opInsert, opRemove };

using TComponentState = std::uint32_t;
inline constexpr TComponentState csLoading = 1u << 0;
inline constexpr TComponentState csDestroying = 1u << 1;
inline constexpr TComponentState csFreeNotification = 1u << 2;

class TComponent : public TPersistent {
    XAN_CLASS(TComponent, TPersistent)
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;

    TComponent* Owner() const noexcept { return owner_; }
    Integer ComponentCount() const noexcept { return static_cast<Integer>(components_.size()); }
    TComponent* Components(Integer index) const;  // EListError when out of range
    Integer ComponentIndex() const noexcept;      // position in the owner's list; -1 without owner
    // The owned component with this name (ASCII case ignored); null when none.
    TComponent* FindComponent(std::u16string_view name) const noexcept;

    const UString& Name() const noexcept { return name_; }
    // Empty, or an identifier unique among the owner's components (ASCII case ignored); else
    // EComponentError "'X' is not a valid component name" / "A component named X already exists".
    virtual void SetName(const UString& name);

    TComponentState ComponentState() const noexcept { return state_; }
    bool HasState(TComponentState flags) const noexcept { return (state_ & flags) != 0; }

    // Takes ownership (from the previous owner, if any); the name must be free here.
    void InsertComponent(TComponent* component);
    // Gives up ownership: the component has no owner afterwards and the caller owns it.
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // Both components learn when the other is destroyed (Notification with opRemove).
    // Components of the same owner already learn it through the owner.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    void BeginLoading();
    void EndLoading();

protected:
    // After loading; the component is no longer in the loading state when it runs.
    virtual void Loaded() {}
    // Insertion into or removal from this component's owned tree, and removal of a component
    // this one asked to be notified about. The base forwards to the owned components, so
    // overrides call it.
    virtual void Notification(TComponent* component, TOperation operation);
    void Destroying() noexcept;
    void ValidateRename(const TComponent* component, const UString& newName) const;

private:
    void Detach(TComponent* component) noexcept;
    void CollectTree(std::vector<TComponent*>& out);
    void ForgetFreeNotification(TComponent* component) noexcept;

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    UString name_;
    TComponentState state_ = 0;
};

// The virtual constructor of components: an instance of `cls` (a TComponent descendant with a
// default constructor) inserted into `owner`. EComponentError when the class cannot be created.
TComponent* CreateComponent(TClass cls, TComponent* owner);

// A letter or '_' followed by letters, digits or '_' (ASCII letters only, no dots).
bool IsValidIdent(std::u16string_view name) noexcept;

}  // namespace xan::plat
