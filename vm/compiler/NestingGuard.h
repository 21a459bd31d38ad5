#pragma once
// The bound on how deeply statements and expressions nest, shared by both dialects: parsing,
// emitting and freeing a syntax tree recurse once per level, and the native stack must hold the
// deepest tree the parsers accept, in the sanitizer build too.
namespace xan {

inline constexpr int XANMaxNestingDepth = 500;
inline constexpr const char16_t* SXANNestingTooDeep = u"Statements or expressions are nested too deeply";

// Counts nesting levels on a parser for its lifetime. TParser gives its counter (NestingDepth)
// and raises its compile error at the current token (NestingTooDeep) when a level would pass
// the limit.
template <class TParser>
class TXANNestingGuard {
public:
    explicit TXANNestingGuard(TParser& AParser, int ALevels = 1) : FParser(AParser) {
        for (int i = 0; i < ALevels; ++i) Add();
    }
    TXANNestingGuard(const TXANNestingGuard&) = delete;
    TXANNestingGuard& operator=(const TXANNestingGuard&) = delete;
    ~TXANNestingGuard() { FParser.NestingDepth() -= FLevels; }

    // One more level (a chain of operators that grows the tree by one node each adds one per
    // operator).
    void Add() {
        if (FParser.NestingDepth() >= XANMaxNestingDepth) FParser.NestingTooDeep();
        ++FParser.NestingDepth();
        ++FLevels;
    }

private:
    TParser& FParser;
    int FLevels = 0;
};

}  // namespace xan
