// The only place of this layer that names the dialects' language classes.
#include "components/NativeLanguages.h"

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/core/Assert.h"

namespace xan {

IXANLanguage* XANNewNativeLanguage(TXANScriptLanguage ALanguage) {
    switch (ALanguage) {
        case slPascal: return new pas::TXANPasLanguage();
        case slNativeVb: return new vb::TXANVbLanguage();
        default: plat::AssertFailed("XANSctScripter", "not a native language", __FILE__, __LINE__);
    }
}

}  // namespace xan
