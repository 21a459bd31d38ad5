#include "lang/vb/VbTypeNames.h"

#include <array>

#include "foundation/NameTable.h"
#include "platform/ole/Variant.h"

namespace xan::vb {

namespace {

struct TypeName {
    const char16_t* Name;
    std::uint16_t VarType;
};

constexpr std::array<TypeName, 16> TypeNames = {{
    {u"SmallInt", plat::varSmallint}, {u"Integer", plat::varInteger}, {u"Single", plat::varSingle},
    {u"Double", plat::varDouble},     {u"Currency", plat::varCurrency}, {u"String", plat::varOleStr},
    {u"Object", plat::varDispatch},   {u"Error", plat::varError},      {u"Variant", plat::varVariant},
    {u"ShortInt", plat::varShortInt}, {u"Byte", plat::varByte},        {u"Word", plat::varWord},
    {u"LongWord", plat::varLongWord}, {u"Int64", plat::varInt64},      {u"UInt64", plat::varUInt64},
    {u"Boolean", plat::varBoolean},
}};

struct TypeNameIds {
    std::array<plat::Integer, TypeNames.size()> Ids;
    TypeNameIds() {
        for (std::size_t i = 0; i < TypeNames.size(); ++i)
            Ids[i] = GlobalNameTable().GetNameIndex(TypeNames[i].Name, true);
    }
};

// Registered once per process, by whichever thread asks first.
const TypeNameIds& Ids() {
    static const TypeNameIds ids;
    return ids;
}

}  // namespace

bool VbTypeCodeOfNameId(plat::Integer ANameId, std::uint16_t& AVarType) {
    const TypeNameIds& ids = Ids();
    for (std::size_t i = 0; i < TypeNames.size(); ++i) {
        if (ids.Ids[i] == ANameId) {
            AVarType = TypeNames[i].VarType;
            return true;
        }
    }
    return false;
}

}  // namespace xan::vb
