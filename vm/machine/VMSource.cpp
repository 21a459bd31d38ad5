#include "vm/machine/VMSource.h"

namespace xan {

namespace {
constexpr char16_t CR = u'\r';
constexpr char16_t LF = u'\n';
}  // namespace

void TXANVMSource::SetText(plat::UString text) {
    FText = std::move(text);
    FIndex.clear();
    const std::int32_t len = FText.length();
    FIndex.reserve(static_cast<std::size_t>(len / IndexStep + 1));
    std::int32_t line = 0, col = 1;
    for (std::int32_t i = 0; i < len; ++i) {
        if (i % IndexStep == 0) FIndex.push_back({line, col, i});
        StepOver(i, line, col);
    }
}

void TXANVMSource::Clear() {
    FText = plat::UString();
    FIndex.clear();
}

bool TXANVMSource::IsLineBreak(std::int32_t offset) const noexcept {
    const char16_t c = FText[offset];
    return c == CR || c == LF;
}

// A CR directly followed by LF is one break: the LF still belongs to the line the pair ends,
// and the new line starts behind the LF. A lone CR or LF ends its line by itself.
void TXANVMSource::StepOver(std::int32_t offset, std::int32_t& line, std::int32_t& col) const noexcept {
    const char16_t c = FText[offset];
    const bool pairedCr = c == CR && offset + 1 < FText.length() && FText[offset + 1] == LF;
    if ((c == CR && !pairedCr) || c == LF) {
        ++line;
        col = 1;
    } else {
        ++col;
    }
}

void TXANVMSource::PosToLine(std::int32_t ASrcPos, std::int32_t& ALine, std::int32_t& ALinePos) const {
    if (ASrcPos < 1 || ASrcPos > FText.length()) {
        ALine = -1;
        ALinePos = -1;
        return;
    }
    const std::int32_t target = ASrcPos - 1;
    const TXANVMSourceItem& start = FIndex[static_cast<std::size_t>(target / IndexStep)];
    std::int32_t line = start.Line, col = start.Pos;
    for (std::int32_t i = start.Cur; i < target; ++i) StepOver(i, line, col);
    ALine = line;
    ALinePos = col;
}

std::int32_t TXANVMSource::PosToLine(std::int32_t ASrcPos) const {
    std::int32_t line, col;
    PosToLine(ASrcPos, line, col);
    return line;
}

const TXANVMSourceItem& TXANVMSource::CheckpointBefore(std::int32_t line) const noexcept {
    std::size_t lo = 0, hi = FIndex.size();  // the last entry whose line is below `line`
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        if (FIndex[mid].Line < line)
            lo = mid;
        else
            hi = mid;
    }
    return FIndex[lo];
}

void TXANVMSource::LineToPos(std::int32_t ALine, std::int32_t& ASrcPos, std::int32_t& ALength) const {
    ASrcPos = -1;
    ALength = 0;
    if (FIndex.empty() || ALine < 0) return;
    const TXANVMSourceItem& start = CheckpointBefore(ALine);
    const std::int32_t len = FText.length();
    std::int32_t line = start.Line, col = start.Pos, i = start.Cur;
    while (i < len && line < ALine) StepOver(i++, line, col);
    if (i >= len || line != ALine) return;
    ASrcPos = i + 1;
    std::int32_t end = i;
    while (end < len && !IsLineBreak(end)) ++end;
    ALength = end - i;
}

}  // namespace xan
