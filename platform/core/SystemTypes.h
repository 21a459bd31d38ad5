#pragma once
// Records and classes of the basic unit that scripts can see and nothing else in the platform
// needs: a variant's raw record form, a record reference, a pointer-sized value, the text line
// break style and the attribute base class.
#include <cstdint>

#include "platform/core/Object.h"
#include "platform/core/Types.h"

namespace xan::plat {

// A record value and its record information, as a variant of record type would hold them.
struct TVarRecord {
    void* PRecord = nullptr;
    void* RecInfo = nullptr;
};

// The raw record form of a variant (not the engine's 16-byte Variant: the record reference
// makes it larger on 64-bit systems).
struct TVarData {
    Word VType = 0;
    Word Reserved1 = 0, Reserved2 = 0, Reserved3 = 0;
    union {
        SmallInt VSmallInt;
        Integer VInteger;
        float VSingle;
        double VDouble;
        Int64 VCurrency;  // scaled by 10000
        TDateTime VDate;
        Integer VError;
        SmallInt VBoolean;  // WordBool: 0 or -1
        ShortInt VShortInt;
        Byte VByte;
        Word VWord;
        LongWord VLongWord;
        Int64 VInt64;
        UInt64 VUInt64;
        TVarRecord VRecord{};
    };
};

// A pointer-sized value.
struct TPtrWrapper {
    std::intptr_t Value = 0;
};

enum class TTextLineBreakStyle : std::uint8_t { tlbsLF = 0, tlbsCRLF = 1 };

class TCustomAttribute : public TObject {
    XAN_CLASS(TCustomAttribute, TObject)
};

}  // namespace xan::plat
