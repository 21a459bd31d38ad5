#pragma once
// The body shared by the compiler fuzz targets: arbitrary bytes (decoded as UTF-8, like the
// command-line runner does) are compiled as a whole script (scanner, parser and code
// generation), and as a single expression and a single statement the way evaluation on demand
// prepares them. A compile error is the expected answer to most inputs; anything else that
// escapes (a crash, a sanitizer report, an assertion, an exception that is not a compile error)
// is a fault. Scripts are compiled only, never run, so inputs cannot loop forever.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/core/Exception.h"
#include "platform/core/UString.h"
#include "vm/bytecode/CompileError.h"
#include "vm/machine/PreparedDynCode.h"
#include "vm/machine/VirtMachine.h"

namespace xan::fuzz {

// Only compile errors may leave the compiler; any other exception means the compiler failed
// on text it should have judged.
template <class F>
void ExpectOnlyCompileErrors(F&& AStep) {
    std::unique_ptr<plat::Exception> e = plat::CatchAll(AStep);
    if (e && !dynamic_cast<EXANCompileBase*>(e.get())) __builtin_trap();
}

template <class TLanguage>
void CompileScript(const plat::UString& ASource) {
    TXANVirtMachine vm(new TLanguage());
    ExpectOnlyCompileErrors([&] { vm.Initialize(ASource); });
    vm.Close();
}

template <class TLanguage>
void PrepareFragments(const plat::UString& AText) {
    TXANVirtMachine vm(new TLanguage());
    vm.Initialize(plat::UString());
    ExpectOnlyCompileErrors([&] { vm.PrepareExpr(AText); });
    ExpectOnlyCompileErrors([&] { vm.PrepareStmt(AText); });
    vm.Close();
}

template <class TLanguage>
int FuzzCompile(const std::uint8_t* AData, std::size_t ASize) {
    const plat::UString text =
        plat::UString::FromUtf8(std::string_view(reinterpret_cast<const char*>(AData), ASize));
    CompileScript<TLanguage>(text);
    PrepareFragments<TLanguage>(text);
    return 0;
}

}  // namespace xan::fuzz
