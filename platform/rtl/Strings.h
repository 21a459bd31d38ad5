#pragma once
// TStrings: an ordered list of text lines, each carrying an optional object, with a one-text
// form and change notification.
//
// Every change first calls the virtual Changing (which fires OnChanging) and afterwards Changed
// (which fires OnChange). A descendant or an OnChanging handler can refuse a change by raising
// from Changing: the list then stays as it was and OnChange does not fire. Between BeginUpdate
// and the matching EndUpdate the events fire once, at the bracket's ends; Changing is still
// called before every single change so that a refusal stays possible.
#include <vector>

#include "platform/core/Method.h"
#include "platform/core/Types.h"
#include "platform/rtl/Persistent.h"

namespace xan::plat {

using TNotifyEvent = Event<void(TObject* Sender)>;

class TStrings : public TPersistent {
    XAN_CLASS(TStrings, TPersistent)
    // Storage operations of the concrete list. Indexes out of range raise EListError
    // "List index out of bounds (n)"; Insert accepts Count as the index.
    virtual Integer Count() const = 0;
    virtual UString Get(Integer index) const = 0;
    virtual TObject* GetObject(Integer index) const = 0;
    virtual void Put(Integer index, const UString& s) = 0;
    virtual void PutObject(Integer index, TObject* object) = 0;
    virtual void InsertObject(Integer index, const UString& s, TObject* object) = 0;
    virtual void Delete(Integer index) = 0;
    virtual void Clear() = 0;

    Integer Add(const UString& s) { return AddObject(s, nullptr); }
    virtual Integer AddObject(const UString& s, TObject* object);
    void Insert(Integer index, const UString& s) { InsertObject(index, s, nullptr); }
    void AddStrings(const TStrings& other);
    // -1 when absent; compares with CompareStrings.
    virtual Integer IndexOf(std::u16string_view s) const;
    Integer IndexOfObject(const TObject* object) const;
    bool Equals(const TStrings& other) const;

    // The lines joined with a line break after each one (including the last).
    UString Text() const;
    // Replaces the lines with those of `text`, split at CR, LF and CR LF; a final line break
    // does not start another line.
    virtual void SetText(std::u16string_view text);
    const UString& LineBreak() const noexcept { return lineBreak_; }
    void SetLineBreak(UString lineBreak) { lineBreak_ = std::move(lineBreak); }

    // Copies the lines and their objects of another TStrings.
    void Assign(const TPersistent* source) override;

    void BeginUpdate();
    void EndUpdate();
    Integer UpdateCount() const noexcept { return updateCount_; }

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    virtual void Changing();
    virtual void Changed();
    // Case-insensitive by the locale's rules; TStringList can be made case-sensitive.
    virtual int CompareStrings(std::u16string_view a, std::u16string_view b) const;
    void CheckIndex(Integer index, Integer limit) const;

private:
    Integer updateCount_ = 0;
    UString lineBreak_ = u"\r\n";
};

// Splits text into lines at CR, LF and CR LF.
std::vector<UString> SplitLines(std::u16string_view text);

}  // namespace xan::plat
