// libFuzzer target for the Pascal-dialect compiler (see CompileFuzzSupport.h).
#include "CompileFuzzSupport.h"
#include "lang/pascal/PasLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    return xan::fuzz::FuzzCompile<xan::pas::TXANPasLanguage>(AData, ASize);
}
