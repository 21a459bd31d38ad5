#include "vm/compiler/TypeNames.h"

#include <array>

#include "foundation/NameTable.h"
#include "platform/ole/Variant.h"

namespace xan {

namespace {

struct TTypeName {
    const char16_t* Name;
    std::uint16_t VarType;
};

constexpr std::array<TTypeName, 16> TypeNames = {{
    {u"Integer", plat::varInteger}, {u"String", plat::varOleStr}, {u"Double", plat::varDouble},
    {u"Single", plat::varSingle}, {u"Boolean", plat::varBoolean}, {u"Variant", plat::varVariant},
    {u"Byte", plat::varByte}, {u"Word", plat::varWord}, {u"LongWord", plat::varLongWord},
    {u"SmallInt", plat::varSmallint}, {u"Currency", plat::varCurrency}, {u"ShortInt", plat::varShortInt},
    {u"Int64", plat::varInt64}, {u"UInt64", plat::varUInt64}, {u"Error", plat::varError},
    {u"Object", plat::varDispatch},
}};

using TTypeNameIds = std::array<plat::Integer, TypeNames.size()>;

const TTypeNameIds& RegisteredTypeNameIds() {
    static const TTypeNameIds ids = [] {
        TTypeNameIds result{};
        for (std::size_t i = 0; i < TypeNames.size(); ++i)
            result[i] = GlobalNameTable().GetNameIndex(TypeNames[i].Name, true);
        return result;
    }();
    return ids;
}

// Registers the names at start-up rather than at the first declaration that names a type.
[[maybe_unused]] const TTypeNameIds& RegisteredAtStartUp = RegisteredTypeNameIds();

}  // namespace

bool XANTypeNameVarType(plat::Integer ANameId, std::uint16_t& AVarType) {
    const TTypeNameIds& ids = RegisteredTypeNameIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == ANameId) {
            AVarType = TypeNames[i].VarType;
            return true;
        }
    }
    return false;
}

}  // namespace xan
