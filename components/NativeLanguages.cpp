// The only place of this layer that names the dialects' language classes.
#include "components/NativeLanguages.h"

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/core/Assert.h"

// The dialects' own namespaces, whether or not their classes live there yet.
namespace xan::pas {}
namespace xan::vb {}

namespace xan {

IXANLanguage* XANNewNativeLanguage(TXANScriptLanguage ALanguage) {
    using namespace xan::pas;
    using namespace xan::vb;
    switch (ALanguage) {
        case slPascal: return new TXANPasLanguage();
        case slNativeVb: return new TXANVbLanguage();
        default: plat::AssertFailed("XANSctScripter", "not a native language", __FILE__, __LINE__);
    }
}

}  // namespace xan
