#include "lang/vb/VbTextSearch.h"

#include <algorithm>

#include "platform/core/CharCase.h"

namespace xan::vb {

namespace {

bool MatchesAt(std::u16string_view AText, std::size_t APos, std::u16string_view AFind, TVbCompareMode AMode) noexcept {
    const std::u16string_view part = AText.substr(APos, AFind.size());
    if (AMode == TVbCompareMode::Binary) return part == AFind;
    for (std::size_t i = 0; i < AFind.size(); ++i)
        if (part[i] != AFind[i] && plat::IdentUpperChar(part[i]) != plat::IdentUpperChar(AFind[i])) return false;
    return true;
}

}  // namespace

plat::Integer SearchForward(std::u16string_view AText, std::u16string_view AFind, plat::Integer AFrom,
                            TVbCompareMode AMode) noexcept {
    if (AFind.empty() || AFind.size() > AText.size()) return 0;
    const std::size_t from = std::size_t(std::max<plat::Integer>(AFrom, 1) - 1);
    if (AMode == TVbCompareMode::Binary) {
        const std::size_t found = AText.find(AFind, from);
        return found == std::u16string_view::npos ? 0 : plat::Integer(found + 1);
    }
    const std::size_t last = AText.size() - AFind.size();
    for (std::size_t pos = from; pos <= last; ++pos)
        if (MatchesAt(AText, pos, AFind, AMode)) return plat::Integer(pos + 1);
    return 0;
}

plat::Integer SearchBackward(std::u16string_view AText, std::u16string_view AFind, plat::Integer AWithin,
                             TVbCompareMode AMode) noexcept {
    const std::size_t within = std::min(AText.size(), std::size_t(std::max<plat::Integer>(AWithin, 0)));
    if (AFind.empty() || AFind.size() > within) return 0;
    if (AMode == TVbCompareMode::Binary) {
        const std::size_t found = AText.substr(0, within).rfind(AFind);
        return found == std::u16string_view::npos ? 0 : plat::Integer(found + 1);
    }
    for (std::size_t pos = within - AFind.size() + 1; pos-- > 0;)
        if (MatchesAt(AText, pos, AFind, AMode)) return plat::Integer(pos + 1);
    return 0;
}

bool TextsMatch(std::u16string_view A, std::u16string_view B, TVbCompareMode AMode) noexcept {
    return A.size() == B.size() && MatchesAt(A, 0, B, AMode);
}

}  // namespace xan::vb
