#pragma once
// TStringList: the concrete string list. Optionally owns the objects of its lines (freed when
// their line goes) and compares case-sensitively in IndexOf. Whole-list replacements (Assign,
// SetText, Clear) announce one change and apply it at once, so a refusal leaves every line.
// Assign copies the lines and, unless this list owns its objects, the object pointers.
#include <vector>

#include "platform/rtl/Strings.h"

namespace xan::plat {

class TStringList : public TStrings {
    XAN_CLASS(TStringList, TStrings)
    TStringList() = default;
    explicit TStringList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
    ~TStringList() override;

    Integer Count() const override { return static_cast<Integer>(items_.size()); }
    UString Get(Integer index) const override;
    TObject* GetObject(Integer index) const override;
    void Put(Integer index, const UString& s) override;
    void PutObject(Integer index, TObject* object) override;
    void InsertObject(Integer index, const UString& s, TObject* object) override;
    void Delete(Integer index) override;
    void Clear() override;
    void Exchange(Integer a, Integer b);
    void Move(Integer from, Integer to);

    void SetText(std::u16string_view text) override;
    void Assign(const TPersistent* source) override;

    bool OwnsObjects() const noexcept { return ownsObjects_; }
    void SetOwnsObjects(bool owns) noexcept { ownsObjects_ = owns; }
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value) noexcept { caseSensitive_ = value; }

protected:
    int CompareStrings(std::u16string_view a, std::u16string_view b) const override;

private:
    struct Item {
        UString text;
        TObject* object = nullptr;
    };
    void Replace(std::vector<Item> items);
    void FreeObjects(std::vector<Item>& items) noexcept;

    std::vector<Item> items_;
    bool ownsObjects_ = false;
    bool caseSensitive_ = false;
};

}  // namespace xan::plat
