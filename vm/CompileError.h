#pragma once
// Base class of the compile errors of every front end. A compile error carries the source
// position it refers to (a 1-based UTF-16 index, 0 = before the text) so that the machine can
// tell the host the line and column before the error leaves it.
#include <utility>

#include "platform/core/Exception.h"
#include "platform/core/Types.h"

namespace xan {

class EXANCompileBase : public plat::Exception {
    XAN_CLASS(EXANCompileBase, plat::Exception)
    EXANCompileBase() = default;
    EXANCompileBase(plat::UString AMsg, plat::Integer ASourcePos)
        : plat::Exception(std::move(AMsg)), FSourcePos(ASourcePos) {}

    plat::Integer SourcePos() const noexcept { return FSourcePos; }

private:
    plat::Integer FSourcePos = 0;
};

}  // namespace xan
