#include "platform/rtl/Component.h"

#include <algorithm>
#include <memory>

#include "platform/core/Assert.h"
#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/JoinTexts.h"
#include "platform/rtl/RtlErrors.h"

namespace xan::plat {

namespace {

bool IsIdentStart(char16_t c) noexcept { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool IsIdentChar(char16_t c) noexcept { return IsIdentStart(c) || (c >= u'0' && c <= u'9'); }

void Erase(std::vector<TComponent*>& list, TComponent* c) noexcept {
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
}

}  // namespace

bool IsValidIdent(std::u16string_view name) noexcept {
    return !name.empty() && IsIdentStart(name[0]) && std::all_of(name.begin() + 1, name.end(), IsIdentChar);
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->ForgetFreeNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(Integer index) const {
    if (index < 0 || index >= ComponentCount()) RaiseListIndexError(index);
    return components_[static_cast<std::size_t>(index)];
}

Integer TComponent::ComponentIndex() const noexcept {
    if (!owner_) return -1;
    auto& list = owner_->components_;
    return static_cast<Integer>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(std::u16string_view name) const noexcept {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::SetName(const UString& name) {
    if (name == name_) return;
    if (!name.empty() && !IsValidIdent(name))
        Throw<EComponentError>(JoinTexts({u"'", name, u"' is not a valid component name"}));
    if (owner_) owner_->ValidateRename(this, name);
    name_ = name;
}

void TComponent::ValidateRename(const TComponent* component, const UString& newName) const {
    TComponent* existing = FindComponent(newName);
    if (existing && existing != component)
        Throw<EComponentError>(JoinTexts({u"A component named ", newName, u" already exists"}));
}

void TComponent::InsertComponent(TComponent* component) {
    XAN_ASSERT("Component", component && component != this);
    if (component->owner_ == this) return;
    ValidateRename(component, component->name_);
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->owner_ != this) return;
    Notification(component, TOperation::opRemove);
    Detach(component);
}

void TComponent::Detach(TComponent* component) noexcept {
    Erase(components_, component);
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        // A component others watch leaves through RemoveComponent so that its siblings learn it.
        if (c->HasState(csFreeNotification))
            RemoveComponent(c);
        else
            Detach(c);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    state_ |= csFreeNotification;
    component->state_ |= csFreeNotification;
    if (owner_ && component->owner_ == owner_) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) != freeNotifies_.end()) return;
    freeNotifies_.push_back(component);
    component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    ForgetFreeNotification(component);
    component->ForgetFreeNotification(this);
}

void TComponent::ForgetFreeNotification(TComponent* component) noexcept { Erase(freeNotifies_, component); }

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
    // A receiver may change the list; walk it from the end and re-check the bound.
    for (std::size_t i = components_.size(); i-- > 0;) {
        if (i >= components_.size()) continue;
        components_[i]->Notification(component, operation);
    }
}

void TComponent::Destroying() noexcept {
    if (HasState(csDestroying)) return;
    state_ |= csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::CollectTree(std::vector<TComponent*>& out) {
    out.push_back(this);
    for (TComponent* c : components_) c->CollectTree(out);
}

void TComponent::BeginLoading() {
    std::vector<TComponent*> tree;
    CollectTree(tree);
    for (TComponent* c : tree) c->state_ |= csLoading;
}

void TComponent::EndLoading() {
    std::vector<TComponent*> tree;
    CollectTree(tree);
    for (TComponent* c : tree) c->state_ &= ~csLoading;
    for (TComponent* c : tree) c->Loaded();
}

TComponent* CreateComponent(TClass cls, TComponent* owner) {
    if (!cls || !cls->InheritsFrom(TComponent::StaticClass()))
        Throw<EComponentError>(JoinTexts({u"Class ", cls ? cls->name : u"nil", u" is not a component class"}));
    std::unique_ptr<TObject> object(CreateInstance(cls));
    if (!object) Throw<EComponentError>(JoinTexts({u"Class ", cls->name, u" cannot be created"}));
    auto* component = static_cast<TComponent*>(object.get());
    if (owner) owner->InsertComponent(component);
    object.release();
    return component;
}

}  // namespace xan::plat
