// libFuzzer target: compiles arbitrary bytes as a Pascal-dialect script (scanner, parser and
// code generation), and as a single expression and a single statement the way evaluation on
// demand prepares them. A compile error is the expected answer to most inputs; anything else
// that escapes (a crash, a sanitizer report, an assertion, an exception that is not a compile
// error) is a fault.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "lang/pascal/PasLanguage.h"
#include "platform/core/Exception.h"
#include "platform/core/UString.h"
#include "vm/CompileError.h"
#include "vm/PreparedDynCode.h"
#include "vm/VirtMachine.h"

namespace {

using xan::plat::UString;

// Only compile errors may leave the compiler; any other exception means the compiler failed
// on text it should have judged.
template <class F>
void ExpectOnlyCompileErrors(F&& step) {
    std::unique_ptr<xan::plat::Exception> e = xan::plat::CatchAll(step);
    if (e && !dynamic_cast<xan::EXANCompileBase*>(e.get())) __builtin_trap();
}

void CompileScript(const UString& ASource) {
    xan::TXANVirtMachine vm(new xan::TXANPasLanguage());
    ExpectOnlyCompileErrors([&] { vm.Initialize(ASource); });
    vm.Close();
}

void PrepareFragments(const UString& AText) {
    xan::TXANVirtMachine vm(new xan::TXANPasLanguage());
    vm.Initialize(UString());
    ExpectOnlyCompileErrors([&] { vm.PrepareExpr(AText); });
    ExpectOnlyCompileErrors([&] { vm.PrepareStmt(AText); });
    vm.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
    const UString text = UString::FromUtf8(std::string_view(reinterpret_cast<const char*>(AData), ASize));
    CompileScript(text);
    PrepareFragments(text);
    return 0;
}
