#include "activescript/plugins/rexx/RexxDebug.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "activescript/debug/DebugIntf.h"

namespace xan::as::rexx {

namespace {

bool IsSymbolChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_.!?@#$", c); }

std::string Upper(std::string_view AText) {
    std::string text(AText);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string_view Trimmed(std::string_view AText) {
    const std::size_t first = AText.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return AText.substr(first, AText.find_last_not_of(" \t\r") - first + 1);
}

// The label at the start of AClause ("name:"), with the rest of the clause after it.
std::optional<std::pair<std::string_view, std::string_view>> LeadingLabel(std::string_view AClause) {
    AClause = Trimmed(AClause);
    std::size_t i = 0;
    while (i < AClause.size() && IsSymbolChar(AClause[i])) ++i;
    const std::size_t end = i;
    while (i < AClause.size() && (AClause[i] == ' ' || AClause[i] == '\t')) ++i;
    if (end == 0 || i >= AClause.size() || AClause[i] != ':') return std::nullopt;
    return std::make_pair(AClause.substr(0, end), AClause.substr(i + 1));
}

// The lines of a text with comments blanked and strings reduced to a quote pair, so that only
// clause structure and symbols remain. Comments nest in REXX and may span lines.
std::vector<std::string> StructureLines(const std::string& AText) {
    std::vector<std::string> lines(1);
    int commentDepth = 0;
    char quote = 0;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        const char c = AText[i];
        const char next = i + 1 < AText.size() ? AText[i + 1] : '\0';
        if (c == '\n') {
            lines.emplace_back();
            quote = 0;  // a string never spans lines
            continue;
        }
        std::string& line = lines.back();
        if (commentDepth > 0) {
            if (c == '*' && next == '/') --commentDepth, ++i;
            else if (c == '/' && next == '*') ++commentDepth, ++i;
            line += ' ';
        } else if (quote) {
            if (c == quote) quote = 0, line += c;
        } else if (c == '/' && next == '*') {
            ++commentDepth, ++i;
            line += ' ';
        } else {
            if (c == '\'' || c == '"') quote = c;
            line += c;
        }
    }
    return lines;
}

void SplitClauses(std::string_view ALine, std::vector<std::string_view>& AOut) {
    AOut.clear();
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < ALine.size(); ++i) {
        if (quote) {
            if (ALine[i] == quote) quote = 0;
        } else if (ALine[i] == '\'' || ALine[i] == '"') {
            quote = ALine[i];
        } else if (ALine[i] == ';') {
            AOut.push_back(ALine.substr(start, i - start));
            start = i + 1;
        }
    }
    AOut.push_back(ALine.substr(start));
}

// Numbers compare as numbers, so that stem tails 1, 2, 10 come in that order.
bool TailLess(const std::string& A, const std::string& B) {
    const bool aNumber = !A.empty() && std::all_of(A.begin(), A.end(), ::isdigit);
    const bool bNumber = !B.empty() && std::all_of(B.begin(), B.end(), ::isdigit);
    if (aNumber && bNumber && A.size() != B.size()) return A.size() < B.size();
    if (aNumber != bNumber) return aNumber;
    return A < B;
}

class TRexxVar final : public TLanguageDebugVar {
public:
    TRexxVar(std::string AName, std::string AType, std::string AValue, std::vector<TLanguageDebugVarRef> AChildren = {})
        : FChildren(std::move(AChildren)) {
        Name = plat::UString::FromUtf8(AName);
        Type = plat::UString::FromUtf8(AType);
        Value = plat::UString::FromUtf8(AValue);
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
    }
    bool Expandable() const override { return !FChildren.empty(); }
    std::vector<TLanguageDebugVarRef> Children() override { return FChildren; }

private:
    std::vector<TLanguageDebugVarRef> FChildren;
};

}  // namespace

std::optional<TTraceClause> ParseTraceClause(std::string_view ALine) {
    std::size_t i = ALine.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    TTraceClause clause;
    while (i < ALine.size() && std::isdigit(static_cast<unsigned char>(ALine[i])))
        clause.ProgramLine = clause.ProgramLine * 10 + (ALine[i++] - '0');
    if (ALine.substr(i, 4) != " *-*" && !(clause.ProgramLine == 0 && ALine.substr(i, 3) == "*-*")) return std::nullopt;
    i = ALine.find("*-*", i) + 3;
    const std::size_t text = ALine.find_first_not_of(' ', i);
    if (text == std::string_view::npos) return std::nullopt;
    clause.Indent = static_cast<int>(text - i) - 1;
    clause.Text = ALine.substr(text);
    return clause;
}

Integer TRexxSourceMap::Add(const std::string& AText) {
    const Integer first = LineCount();
    const std::vector<std::string> lines = StructureLines(AText);
    std::vector<std::pair<Integer, std::string>> pendingLabels;  // labels standing alone
    std::vector<std::string_view> clauses;
    bool continued = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const Integer line = first + static_cast<Integer>(n);
        const std::string_view text = lines[n];
        for (std::size_t i = 0; i < text.size();) {
            if (!IsSymbolChar(text[i]) || (i > 0 && IsSymbolChar(text[i - 1]))) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && IsSymbolChar(text[end])) ++end;
            const std::string_view token = text.substr(i, end - i);
            const std::string_view symbol = token.substr(0, token.find('.'));
            if (!symbol.empty() && !std::isdigit(static_cast<unsigned char>(symbol[0])))
                FSpellings.emplace(Upper(symbol), std::string(symbol));
            i = end;
        }
        bool code = false;
        SplitClauses(text, clauses);
        for (std::string_view clause : clauses) {
            while (auto label = LeadingLabel(clause)) {
                if (continued) break;
                FRoutines[line] = std::string(label->first);
                pendingLabels.emplace_back(line, std::string(label->first));
                clause = label->second;
            }
            if (!Trimmed(clause).empty()) code = true;
        }
        const bool holds = code && !continued;
        FHoldsCode.push_back(holds);
        if (holds) {
            for (auto& [labelLine, name] : pendingLabels) FRoutines[line] = name;
            pendingLabels.clear();
        }
        const std::string_view rest = Trimmed(text);
        continued = !rest.empty() && rest.back() == ',';
    }
    return first;
}

Integer TRexxSourceMap::CodeLineAt(Integer ALine) const {
    for (Integer line = std::max<Integer>(ALine, 0); line < LineCount(); ++line)
        if (FHoldsCode[line]) return line;
    return -1;
}

const std::string* TRexxSourceMap::RoutineAt(Integer ALine) const {
    const auto it = FRoutines.find(ALine);
    return it == FRoutines.end() ? nullptr : &it->second;
}

std::string TRexxSourceMap::Spelling(const std::string& AUpper) const {
    const auto it = FSpellings.find(AUpper);
    return it == FSpellings.end() ? AUpper : it->second;
}

bool TCallTracker::Clause(Integer ALine, int AIndent, std::string_view AText, const TRexxSourceMap& ASource) {
    const std::string* routine = ASource.RoutineAt(ALine);
    if (FActivations.empty()) {
        FActivations.push_back({});
        FActivations.back().BaseIndent = AIndent;
    } else if (AIndent > FPreviousIndent && routine) {
        FActivations.push_back({*routine, -1, AIndent});
    } else {
        while (FActivations.size() > 1 &&
               (FActivations.back().Returning || AIndent < FActivations.back().BaseIndent))
            FActivations.pop_back();
    }
    FPreviousIndent = AIndent;
    TRexxActivation& top = FActivations.back();
    const auto label = LeadingLabel(AText);
    if (label && Trimmed(label->second).empty()) return false;  // a label clause: the routine's line comes next
    const bool arrives = top.Line != ALine;
    top.Line = ALine;
    std::string_view keyword = Trimmed(AText);
    keyword = keyword.substr(0, std::min(keyword.find_first_of(" \t;"), keyword.size()));
    const std::string word = Upper(keyword);
    if (word == "RETURN" && FActivations.size() > 1) top.Returning = true;
    if (word == "PROCEDURE") top.Private = true;
    return arrives;
}

TLanguageDebugVarRef VariablesRoot(const std::map<std::string, std::string>& AVars, const TRexxSourceMap& ASource) {
    std::vector<TLanguageDebugVarRef> children;
    for (auto it = AVars.begin(); it != AVars.end();) {
        const std::size_t dot = it->first.find('.');
        if (dot == std::string::npos) {
            children.push_back(std::make_shared<TRexxVar>(ASource.Spelling(it->first), "string", it->second));
            ++it;
            continue;
        }
        // The compound variables of one stem follow one another in the map.
        const std::string stem = it->first.substr(0, dot + 1);
        const std::string name = ASource.Spelling(stem.substr(0, dot));
        std::vector<std::pair<std::string, std::string>> tails;
        for (; it != AVars.end() && it->first.rfind(stem, 0) == 0; ++it) tails.emplace_back(it->first.substr(dot + 1), it->second);
        std::sort(tails.begin(), tails.end(), [](const auto& A, const auto& B) { return TailLess(A.first, B.first); });
        std::vector<TLanguageDebugVarRef> elements;
        for (const auto& [tail, value] : tails)
            elements.push_back(std::make_shared<TRexxVar>(name + "." + tail, "string", value));
        const std::string count = std::to_string(elements.size()) + (elements.size() == 1 ? " tail" : " tails");
        children.push_back(std::make_shared<TRexxVar>(name, "stem", count, std::move(elements)));
    }
    return std::make_shared<TRexxVar>("", "", "", std::move(children));
}

}  // namespace xan::as::rexx
