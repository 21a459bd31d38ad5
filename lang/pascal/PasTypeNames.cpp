#include "lang/pascal/PasTypeNames.h"

#include <array>

#include "foundation/NameTable.h"
#include "platform/ole/Variant.h"

namespace xan::pas {

namespace {

struct TypeName {
    const char16_t* name;
    std::uint16_t varType;
};

// In the order of registration.
constexpr std::array<TypeName, 16> kTypeNames = {{
    {u"Integer", plat::varInteger}, {u"String", plat::varOleStr}, {u"Double", plat::varDouble},
    {u"Single", plat::varSingle}, {u"Boolean", plat::varBoolean}, {u"Variant", plat::varVariant},
    {u"Byte", plat::varByte}, {u"Word", plat::varWord}, {u"LongWord", plat::varLongWord},
    {u"SmallInt", plat::varSmallint}, {u"Currency", plat::varCurrency}, {u"ShortInt", plat::varShortInt},
    {u"Int64", plat::varInt64}, {u"UInt64", plat::varUInt64}, {u"Error", plat::varError},
    {u"Object", plat::varDispatch},
}};

using TypeNameIds = std::array<plat::Integer, kTypeNames.size()>;

const TypeNameIds& RegisteredTypeNameIds() {
    static const TypeNameIds ids = [] {
        TypeNameIds result{};
        for (std::size_t i = 0; i < kTypeNames.size(); ++i)
            result[i] = GlobalNameTable().GetNameIndex(kTypeNames[i].name, true);
        return result;
    }();
    return ids;
}

// Registers the names at start-up rather than at the first array constructor.
[[maybe_unused]] const TypeNameIds& kRegisteredAtStartUp = RegisteredTypeNameIds();

}  // namespace

bool PasTypeNameVarType(plat::Integer ANameId, std::uint16_t& AVarType) {
    const TypeNameIds& ids = RegisteredTypeNameIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == ANameId) {
            AVarType = kTypeNames[i].varType;
            return true;
        }
    }
    return false;
}

}  // namespace xan::pas
