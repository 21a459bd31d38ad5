#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "foundation/NameTable.h"
#include "platform/core/CharCase.h"

using namespace xan;
using xan::plat::UString;

namespace {

constexpr int kThreads = 8;
constexpr int kNames = 600;

// Thread t walks the shared name set from its own starting point, in lower case on even
// threads and upper case on odd ones, so registrations of one name race across spellings.
std::u16string NameFor(int thread, int step) {
    const int n = (step + thread * 97) % kNames;
    std::string s = "Ident_" + std::to_string(n);
    for (char& c : s) c = thread % 2 ? static_cast<char>(toupper(c)) : static_cast<char>(tolower(c));
    return std::u16string(s.begin(), s.end());
}

}  // namespace

TEST(TXANNameTableConcurrency, RacingRegistrationsGiveEachNameOneDenseStableId) {
    TXANNameTable table;
    std::vector<std::map<std::u16string, Integer>> seen(kThreads);
    std::atomic<int> ready{0};
    std::atomic<bool> readBackFailed{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) std::this_thread::yield();
            for (int round = 0; round < 3; ++round) {
                for (int step = 0; step < kNames; ++step) {
                    const std::u16string name = NameFor(t, step);
                    const Integer id = table.GetNameIndex(name, true);
                    // Reading back an id just obtained needs no lock and must already work.
                    const UString upper = plat::IdentUpperCase(UString(name));
                    if (table.GetName(id) != upper || table.GetNameIndexes(id)->IntData() != id)
                        readBackFailed = true;
                    auto [it, inserted] = seen[t].emplace(upper.view(), id);
                    if (!inserted && it->second != id) readBackFailed = true;
                    if (table.GetNameIndex(name, false) != id) readBackFailed = true;
                }
            }
        });
    }
    for (auto& th : threads) th.join();

    EXPECT_FALSE(readBackFailed.load());
    ASSERT_EQ(table.Count(), kNames);
    std::map<std::u16string, Integer> merged;
    for (const auto& m : seen) {
        EXPECT_EQ(m.size(), std::size_t(kNames));
        for (const auto& [name, id] : m) {
            auto [it, inserted] = merged.emplace(name, id);
            EXPECT_EQ(it->second, id) << "one name, two ids";
        }
    }
    std::set<Integer> ids;
    for (const auto& [name, id] : merged) ids.insert(id);
    EXPECT_EQ(ids.size(), std::size_t(kNames)) << "two names, one id";
    EXPECT_EQ(*ids.begin(), 0);
    EXPECT_EQ(*ids.rbegin(), kNames - 1);
    for (const auto& [name, id] : merged) EXPECT_EQ(table.GetName(id).view(), name);
}
