#include "activescript/plugins/lua/LuaCodeLines.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace xan::as::lua {

namespace {

// The layout of the interpreter's binary chunks (5.4).
constexpr std::string_view KSignature = "\x1bLua";
constexpr unsigned char KVersion = 0x54;
constexpr std::string_view KData = "\x19\x93\r\n\x1a\n";
// A line-table delta that stands for "the absolute line is stored apart".
constexpr signed char KAbsLineInfo = -0x80;
// Constant tags: nil, false, true carry nothing; these carry a value.
constexpr int KTagInteger = 3, KTagFloat = 3 | (1 << 4), KTagShortString = 4, KTagLongString = 4 | (1 << 4);

class TDumpReader {
public:
    explicit TDumpReader(std::string_view AData) : FData(AData) {}
    bool Failed() const noexcept { return FFailed; }

    void Skip(std::size_t ACount) {
        if (ACount > FData.size() - FPos) {
            FFailed = true;
            FPos = FData.size();
            return;
        }
        FPos += ACount;
    }
    bool Expect(std::string_view AText) {
        if (FData.substr(FPos, AText.size()) != AText) FFailed = true;
        Skip(AText.size());
        return !FFailed;
    }
    unsigned char Byte() {
        if (FPos >= FData.size()) {
            FFailed = true;
            return 0;
        }
        return static_cast<unsigned char>(FData[FPos++]);
    }
    // Sizes are written most significant group first, 7 bits a byte; the last byte has bit 7.
    std::size_t Size() {
        std::size_t value = 0;
        for (int i = 0; i < 10 && !FFailed; ++i) {
            const unsigned char b = Byte();
            value = (value << 7) | (b & 0x7f);
            if (b & 0x80) return value;
        }
        FFailed = true;
        return 0;
    }
    void SkipString() {
        const std::size_t size = Size();
        if (size > 0) Skip(size - 1);
    }
    std::string_view Bytes(std::size_t ACount) {
        const std::size_t start = FPos;
        Skip(ACount);
        return FFailed ? std::string_view() : FData.substr(start, ACount);
    }

private:
    std::string_view FData;
    std::size_t FPos = 0;
    bool FFailed = false;
};

struct TSizes {
    std::size_t Instruction, Integer, Number;
};

void ReadFunction(TDumpReader& R, const TSizes& S, std::vector<int>& ALines);

// The lines of one function's instructions, as the interpreter's active lines count them: a
// function with variable arguments starts with a preparing instruction that is not a line of
// its own.
void AddLines(int ALineDefined, bool AIsVararg, std::string_view ADeltas, const std::vector<int>& AAbsLines,
              std::vector<int>& ALines) {
    int line = ALineDefined;
    std::size_t absolute = 0;
    for (std::size_t pc = 0; pc < ADeltas.size(); ++pc) {
        const auto delta = static_cast<signed char>(ADeltas[pc]);
        if (delta == KAbsLineInfo)
            line = absolute < AAbsLines.size() ? AAbsLines[absolute++] : line;
        else
            line += delta;
        if (pc > 0 || !AIsVararg) ALines.push_back(line);
    }
}

void SkipConstants(TDumpReader& R, const TSizes& S) {
    const std::size_t count = R.Size();
    for (std::size_t i = 0; i < count && !R.Failed(); ++i) {
        switch (R.Byte()) {
            case KTagInteger: R.Skip(S.Integer); break;
            case KTagFloat: R.Skip(S.Number); break;
            case KTagShortString:
            case KTagLongString: R.SkipString(); break;
            default: break;
        }
    }
}

void ReadFunction(TDumpReader& R, const TSizes& S, std::vector<int>& ALines) {
    R.SkipString();  // source
    const int lineDefined = static_cast<int>(R.Size());
    R.Size();  // last line defined
    R.Byte();  // parameters
    const bool isVararg = R.Byte() != 0;
    R.Byte();  // stack size
    R.Skip(R.Size() * S.Instruction);
    SkipConstants(R, S);
    R.Skip(R.Size() * 3);  // upvalue descriptions
    const std::size_t nested = R.Size();
    for (std::size_t i = 0; i < nested && !R.Failed(); ++i) ReadFunction(R, S, ALines);
    const std::string_view deltas = R.Bytes(R.Size());
    std::vector<int> absLines;
    const std::size_t absCount = R.Size();
    for (std::size_t i = 0; i < absCount && !R.Failed(); ++i) {
        R.Size();  // instruction index
        absLines.push_back(static_cast<int>(R.Size()));
    }
    const std::size_t locals = R.Size();
    for (std::size_t i = 0; i < locals && !R.Failed(); ++i) {
        R.SkipString();
        R.Size();
        R.Size();
    }
    const std::size_t upvalueNames = R.Size();
    for (std::size_t i = 0; i < upvalueNames && !R.Failed(); ++i) R.SkipString();
    if (!R.Failed()) AddLines(lineDefined, isVararg, deltas, absLines, ALines);
}

int AppendDump(lua_State*, const void* AData, std::size_t ASize, void* ATarget) {
    static_cast<std::string*>(ATarget)->append(static_cast<const char*>(AData), ASize);
    return 0;
}

}  // namespace

std::vector<int> CodeLinesOfChunk(lua_State* L) {
    std::string dump;
    if (lua_dump(L, &AppendDump, &dump, 0) != 0) return {};
    TDumpReader r(dump);
    if (!r.Expect(KSignature) || r.Byte() != KVersion || r.Byte() != 0 || !r.Expect(KData)) return {};
    TSizes sizes{r.Byte(), r.Byte(), r.Byte()};
    r.Skip(sizes.Integer + sizes.Number);  // the check values
    r.Byte();                              // the main function's upvalue count
    std::vector<int> lines;
    ReadFunction(r, sizes, lines);
    return r.Failed() ? std::vector<int>() : lines;
}

}  // namespace xan::as::lua
