#pragma once
// TXANSiteNameCache: what the global-name call sites of running code last resolved their
// names to, for one thread in one machine.
//
// Resolving a name walks the scope chain and hashes at every level, and a loop that calls the
// same function or reads the same global asks the same question every time. An entry answers
// only for the same site, scope and name, and only while no bytecode or scope has been freed
// since it was filled: a freed site's address may come back as a new site with another name
// or scope. The owner clears the cache whenever its own view of the globals is rebuilt.
#include <array>
#include <cstddef>
#include <cstdint>

#include "vm/bytecode/CodeEpoch.h"
#include "vm/compiler/NameSearch.h"

namespace xan {

class TXANAbstractNamespace;

class TXANSiteNameCache {
public:
    // True with ARes set when ASite in scope ANs resolved AName since the last change.
    // Inline: every global-name call asks it first.
    bool Lookup(const void* ASite, const TXANAbstractNamespace* ANs, plat::Integer AName,
                TXANNameSearchRes& ARes) const noexcept {
        const std::size_t set = SetOf(ASite);
        const TEntry* e = &FEntries[set];
        if (e->Site != ASite) {
            e = &FEntries[set + 1];
            if (e->Site != ASite) return false;
        }
        if (e->Namespace != ANs || e->Name != AName) return false;
        if (e->Epoch != TXANCodeEpoch::Current()) return false;
        ARes = e->Res;
        return true;
    }
    // Remembers a resolution; answers that depend on more than site, scope and name are not kept.
    void Store(const void* ASite, const TXANAbstractNamespace* ANs, plat::Integer AName,
               const TXANNameSearchRes& ARes) noexcept;
    void Clear() noexcept;

private:
    struct TEntry {
        const void* Site = nullptr;
        const TXANAbstractNamespace* Namespace = nullptr;
        plat::Integer Name = -1;
        std::uint32_t Epoch = 0;
        TXANNameSearchRes Res;
    };
    // A power of two. Entries come in sets of two: a site may sit in either entry of its set,
    // so two sites of one loop that fall into the same set do not keep evicting each other.
    static constexpr std::size_t EntryCount = 256;

    // The first entry of ASite's set.
    static std::size_t SetOf(const void* ASite) noexcept {
        // Sites are separate heap objects: the low bits are alignment, the next ones vary.
        const auto address = reinterpret_cast<std::uintptr_t>(ASite);
        return static_cast<std::size_t>((address >> 4) ^ (address >> 12)) & (EntryCount - 2);
    }
    static bool Cacheable(TXANNameSearchResKind AKind) noexcept;

    std::array<TEntry, EntryCount> FEntries{};
};

}  // namespace xan
