// Registration that runs out of memory at any allocation must leave the name table unchanged.
// This file replaces the global allocation functions of the test program with ones that can be
// told to fail the n-th allocation of the current thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "foundation/NameTable.h"

using namespace xan;
using xan::plat::UString;

namespace {
thread_local long t_allocationsUntilFailure = -1;  // -1: never fail

void* Allocate(std::size_t size) {
    if (t_allocationsUntilFailure == 0) {
        t_allocationsUntilFailure = -1;
        throw std::bad_alloc();
    }
    if (t_allocationsUntilFailure > 0) --t_allocationsUntilFailure;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(TXANNameTableOutOfMemory, AFailedRegistrationLeavesTheTableUnchanged) {
    // Ids 0..63 fill the first storage segment and 4, 8, 16, 32, 64 names each make the map
    // grow, so registering the next name meets every kind of allocation somewhere in the run.
    for (int existing : {4, 8, 63, 64}) {
        TXANNameTable table;
        for (int i = 0; i < existing; ++i) table.GetNameIndex(UString::FromLatin1("n" + std::to_string(i)), true);
        int failures = 0;
        for (long failAt = 0;; ++failAt) {
            t_allocationsUntilFailure = failAt;
            bool failed = false;
            Integer id = -1;
            try {
                id = table.GetNameIndex(u"Fresh", true);
            } catch (const std::bad_alloc&) {
                failed = true;
            }
            t_allocationsUntilFailure = -1;
            if (!failed) {
                EXPECT_EQ(id, existing);
                break;
            }
            ++failures;
            ASSERT_EQ(table.Count(), existing) << "failing allocation " << failAt;
            ASSERT_EQ(table.GetNameIndex(u"FRESH", false), -1);
            for (int i = 0; i < existing; ++i)
                ASSERT_EQ(table.GetNameIndex(UString::FromLatin1("N" + std::to_string(i)), false), i);
        }
        EXPECT_GT(failures, 0) << "registration allocates, so some failure must have been injected";
        EXPECT_EQ(table.GetName(existing), u"FRESH");
        EXPECT_EQ(table.Count(), existing + 1);
    }
}
