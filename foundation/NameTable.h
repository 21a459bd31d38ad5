#pragma once
// The process-wide name table: identifier text to a dense name id and back.
//
// Ids are 0, 1, 2, ... in order of first registration and are never removed or reused while
// the table lives. Names are compared without regard to case through the identifier
// upper-case mapping, and the stored name is the upper-cased text. Every thread that compiles,
// runs or debugs scripts uses the table: lookups of known names share a reader lock and
// allocate nothing; only registering a new name takes the lock exclusively. Reading a name
// back by id takes no lock at all, because items never move.
#include <atomic>
#include <shared_mutex>
#include <string_view>

#include "foundation/AppendOnlySlots.h"
#include "foundation/IdentifierHashTable.h"
#include "platform/core/UString.h"

namespace xan {

class TXANNameTable {
public:
    TXANNameTable();
    TXANNameTable(const TXANNameTable&) = delete;
    TXANNameTable& operator=(const TXANNameTable&) = delete;
    ~TXANNameTable();

    // The id of AName in any letter case. An unknown name is registered under the next id when
    // ACreateNewItem is true; otherwise the answer is -1 and nothing is registered. If
    // registration runs out of memory the table is unchanged and the error propagates.
    Integer GetNameIndex(std::u16string_view AName, bool ACreateNewItem);
    // The stored (upper-cased) text of an id this table returned.
    plat::UString GetName(Integer AIndex) const;
    // The item of an id this table returned; its Data is the id.
    TXANIdentifierItem* GetNameIndexes(Integer AIndex) const;
    // Number of names registered so far, which is also the next id.
    Integer Count() const noexcept { return FCount.load(std::memory_order_acquire); }

private:
    Integer Register(std::u16string_view AName);
    void CheckIndex(Integer AIndex) const;

    mutable std::shared_mutex FSection;
    TXANIdentifierHashTable FMap;  // upper-cased name -> item; does not own the items
    detail::TAppendOnlySlots<TXANIdentifierItem> FNameByIndex;  // id -> item; owns the items
    std::atomic<Integer> FCount{0};
};

// The one table of the process, shared by every machine, front end, debugger and host
// interface so that one identifier has one id everywhere. Created at start-up (or by its first
// user, if that runs earlier) and kept until the process ends.
TXANNameTable& GlobalNameTable();

}  // namespace xan
