#include "activescript/plugins/tcl/TclCodeLines.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace xan::as::tcl {

using plat::Integer;

namespace {

// One word of a parsed command: its literal text when it has no substitutions.
struct TWord {
    const char* Start = nullptr;  // the text (inside braces for a braced word)
    int Size = 0;
    bool Literal = false;
    std::string_view Text() const { return Literal ? std::string_view(Start, static_cast<std::size_t>(Size)) : std::string_view(); }
};

class TScanner {
public:
    TScanner(const std::string& AText, Integer AFirstLine, TTclCodeMap& AMap)
        : FText(AText), FFirstLine(AFirstLine), FMap(AMap) {
        for (std::size_t i = 0; i < AText.size(); ++i)
            if (AText[i] == '\n') FBreaks.push_back(i);
    }

    void Script(const char* AStart, int ASize, const std::string& ANamespace, int ADepth) {
        if (ADepth > 64) return;  // bodies nested deeper than any script writes
        const char* p = AStart;
        int left = ASize;
        while (left > 0) {
            Tcl_Parse parse;
            if (Tcl_ParseCommand(nullptr, p, left, 0, &parse) != TCL_OK) return;  // the run reports it
            if (parse.numWords > 0) {
                FMap.Lines.insert(LineOf(parse.commandStart));
                Command(parse, ANamespace, ADepth);
            }
            const char* next = parse.commandStart + parse.commandSize;
            Tcl_FreeParse(&parse);
            if (next <= p) return;
            left -= static_cast<int>(next - p);
            p = next;
        }
    }

private:
    Integer LineOf(const char* AAt) const {
        const std::size_t offset = static_cast<std::size_t>(AAt - FText.data());
        return FFirstLine + static_cast<Integer>(std::lower_bound(FBreaks.begin(), FBreaks.end(), offset) - FBreaks.begin());
    }

    static std::vector<TWord> Words(const Tcl_Parse& AParse) {
        std::vector<TWord> words;
        const Tcl_Token* token = AParse.tokenPtr;
        for (int i = 0; i < AParse.numWords; ++i) {
            TWord w;
            if (token->type == TCL_TOKEN_SIMPLE_WORD) {
                w.Start = token[1].start;
                w.Size = token[1].size;
                w.Literal = true;
            }
            words.push_back(w);
            token += token->numComponents + 1;
        }
        return words;
    }

    static std::string Qualified(std::string_view AName, const std::string& ANamespace) {
        if (AName.substr(0, 2) == "::") return std::string(AName);
        return ANamespace + "::" + std::string(AName);
    }

    void Body(const TWord& AWord, const std::string& ANamespace, int ADepth) {
        if (AWord.Literal) Script(AWord.Start, AWord.Size, ANamespace, ADepth + 1);
    }

    // The words of the commands that take scripts, by the command's name.
    void Command(const Tcl_Parse& AParse, const std::string& ANamespace, int ADepth) {
        const std::vector<TWord> w = Words(AParse);
        std::string_view name = w[0].Text();
        if (name.substr(0, 2) == "::") name.remove_prefix(2);
        const std::size_t n = w.size();
        auto body = [&](std::size_t AIndex) {
            if (AIndex < n) Body(w[AIndex], ANamespace, ADepth);
        };
        if (name == "proc" && n == 4) {
            if (w[1].Literal) FMap.ProcBodies[Qualified(w[1].Text(), ANamespace)] = LineOf(w[3].Start);
            body(3);
        } else if (name == "while" || name == "catch" || name == "time") {
            body(name == "while" ? 2 : 1);
        } else if (name == "for") {
            body(1), body(3), body(4);
        } else if (name == "foreach" || name == "lmap" || name == "uplevel" || name == "eval") {
            if (name != "eval" || n == 2) body(n - 1);
        } else if (name == "if") {
            IfBodies(w, ANamespace, ADepth);
        } else if (name == "try") {
            body(1);
            for (std::size_t i = 2; i < n; ++i) {
                const std::string_view word = w[i].Text();
                if (word == "on" || word == "trap") i += 3;  // on code variables body
                else if (word == "finally") ++i;
                else continue;
                body(i);
            }
        } else if (name == "switch" && n >= 3) {
            SwitchBodies(w[n - 1], ANamespace, ADepth);
        } else if (name == "namespace" && n == 4 && w[1].Text() == "eval" && w[2].Literal) {
            Script(w[3].Start, w[3].Size, Qualified(w[2].Text(), ANamespace), ADepth + 1);
        } else if (name == "dict" && n >= 4 && (w[1].Text() == "for" || w[1].Text() == "with" || w[1].Text() == "map")) {
            body(n - 1);
        }
    }

    // if cond ?then? body ?elseif cond ?then? body ...? ?else? ?body?
    void IfBodies(const std::vector<TWord>& AWords, const std::string& ANamespace, int ADepth) {
        std::size_t i = 1;
        while (i + 1 < AWords.size()) {
            ++i;  // past the condition
            if (AWords[i].Text() == "then") ++i;
            if (i >= AWords.size()) return;
            Body(AWords[i++], ANamespace, ADepth);
            if (i >= AWords.size()) return;
            if (AWords[i].Text() == "elseif") continue;
            if (AWords[i].Text() == "else") ++i;
            if (i < AWords.size()) Body(AWords[i], ANamespace, ADepth);
            return;
        }
    }

    // switch ... {pattern body pattern body ...}: the bodies of a braced pattern list.
    void SwitchBodies(const TWord& AList, const std::string& ANamespace, int ADepth) {
        if (!AList.Literal) return;
        const char* p = AList.Start;
        const char* end = AList.Start + AList.Size;
        int index = 0;
        while (p < end) {
            const char* element = nullptr;
            const char* next = nullptr;
            int size = 0, braced = 0;
            if (NextElement(p, end, element, next, size, braced) != TCL_OK || element >= end) return;
            if (index++ % 2 == 1 && !(size == 1 && *element == '-'))
                Script(element, size, ANamespace, ADepth + 1);
            p = next;
        }
    }

    // One element of a list text, as the list parser sees it (a brace-quoted element keeps
    // its place in the text, so its lines are known).
    static int NextElement(const char* AFrom, const char* AEnd, const char*& AElement, const char*& ANext, int& ASize,
                              int& ABraced) {
        const char* p = AFrom;
        while (p < AEnd && std::string_view(" \t\n\r\v\f").find(*p) != std::string_view::npos) ++p;
        AElement = p;
        if (p >= AEnd) return TCL_OK;
        ABraced = *p == '{';
        if (ABraced) {
            int depth = 1;
            const char* q = ++p;
            while (q < AEnd && depth > 0) {
                if (*q == '\\' && q + 1 < AEnd) ++q;
                else if (*q == '{') ++depth;
                else if (*q == '}') --depth;
                ++q;
            }
            if (depth != 0) return TCL_ERROR;
            AElement = p;
            ASize = static_cast<int>(q - 1 - p);
            ANext = q;
            return TCL_OK;
        }
        const char* q = p;
        while (q < AEnd && std::string_view(" \t\n\r\v\f").find(*q) == std::string_view::npos) ++q;
        ASize = static_cast<int>(q - p);
        ANext = q;
        return TCL_OK;
    }

    const std::string& FText;
    Integer FFirstLine;
    TTclCodeMap& FMap;
    std::vector<std::size_t> FBreaks;
};

}  // namespace

void ScanCodeLines(const std::string& AText, Integer AFirstLine, TTclCodeMap& AMap) {
    TScanner(AText, AFirstLine, AMap).Script(AText.data(), static_cast<int>(AText.size()), std::string(), 0);
}

}  // namespace xan::as::tcl
