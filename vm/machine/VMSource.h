#pragma once
// TXANVMSource: a script text with a sparse line index.
//
// Runtime errors, breakpoints and the debugger convert between source positions (1-based
// UTF-16 code-unit offsets, 0 = before the text) and lines (from 0) with columns (from 1).
// Scanning a long script from its start for every conversion would make error reporting and
// breakpoint placement quadratic, so every 32nd character records its line and column and a
// conversion walks at most 31 characters from the nearest checkpoint.
#include <cstdint>
#include <vector>

#include "platform/core/UString.h"

namespace xan {

struct TXANVMSourceItem {
    std::int32_t Line = 0;  // line of the checkpoint character, from 0
    std::int32_t Pos = 1;   // column of the checkpoint character, from 1
    std::int32_t Cur = 0;   // offset of the checkpoint character in the text
};

class TXANVMSource {
public:
    static constexpr std::int32_t IndexStep = 32;

    TXANVMSource() = default;
    explicit TXANVMSource(plat::UString text) { SetText(std::move(text)); }

    // Replaces the text and rebuilds the index.
    void SetText(plat::UString text);
    void Clear();

    const plat::UString& Text() const noexcept { return FText; }
    std::int32_t Length() const noexcept { return FText.length(); }
    std::int32_t IndexLength() const noexcept { return static_cast<std::int32_t>(FIndex.size()); }

    // Line (from 0) and column (from 1) of position ASrcPos; -1 and -1 outside 1 .. Length().
    void PosToLine(std::int32_t ASrcPos, std::int32_t& ALine, std::int32_t& ALinePos) const;
    std::int32_t PosToLine(std::int32_t ASrcPos) const;

    // First position of line ALine and its length without the line break; -1 and 0 when the
    // text has no character on that line.
    void LineToPos(std::int32_t ALine, std::int32_t& ASrcPos, std::int32_t& ALength) const;

private:
    // Line and column of the character after `offset`, given those of `offset`.
    void StepOver(std::int32_t offset, std::int32_t& line, std::int32_t& col) const noexcept;
    bool IsLineBreak(std::int32_t offset) const noexcept;
    const TXANVMSourceItem& CheckpointBefore(std::int32_t line) const noexcept;

    plat::UString FText;
    std::vector<TXANVMSourceItem> FIndex;
};

}  // namespace xan
