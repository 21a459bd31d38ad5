#pragma once
// The language objects of the two dialects the system compiles itself.
#include "components/ScriptTypes.h"
#include "vm/compiler/LanguageInterface.h"

namespace xan {

// A new language object for slPascal or slNativeVb (the caller takes the one reference it
// holds, as a machine does); any other language is an assertion failure.
IXANLanguage* XANNewNativeLanguage(TXANScriptLanguage ALanguage);

}  // namespace xan
