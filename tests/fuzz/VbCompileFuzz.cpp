// libFuzzer target for the VBScript-dialect compiler (see CompileFuzzSupport.h).
#include "CompileFuzzSupport.h"
#include "lang/vb/VbLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    return xan::fuzz::FuzzCompile<xan::vb::TXANVbLanguage>(AData, ASize);
}
