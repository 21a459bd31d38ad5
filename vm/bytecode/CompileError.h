#pragma once
// Base class of the compile errors of every front end. A compile error carries the source
// position it refers to (a 1-based UTF-16 index, 0 = before the text) so that the machine can
// tell the host the line and column before the error leaves it.
#include <span>
#include <string_view>
#include <utility>

#include "platform/core/Exception.h"
#include "platform/core/Types.h"
#include "platform/text/Format.h"

namespace xan {

class EXANCompileBase : public plat::Exception {
    XAN_CLASS(EXANCompileBase, plat::Exception)
    EXANCompileBase() = default;
    EXANCompileBase(plat::UString AMsg, plat::Integer ASourcePos)
        : plat::Exception(std::move(AMsg)), FSourcePos(ASourcePos) {}
    // The message formatted from AArgs by the platform's Format.
    EXANCompileBase(std::u16string_view AMsg, std::span<const plat::FormatArg> AArgs, plat::Integer ASourcePos)
        : EXANCompileBase(plat::Format(AMsg, AArgs), ASourcePos) {}

    plat::Integer SourcePos() const noexcept { return FSourcePos; }

private:
    plat::Integer FSourcePos = 0;
};

// Raises a compile error of class E whose message is AMsg formatted with AArgs.
template <class E, class... A>
[[noreturn]] void RaiseCompileErrorFmt(std::u16string_view AMsg, plat::Integer ASourcePos, const A&... AArgs) {
    const plat::FormatArg args[] = {plat::FormatArg(AArgs)...};
    plat::Throw<E>(AMsg, std::span<const plat::FormatArg>(args), ASourcePos);
}

}  // namespace xan
