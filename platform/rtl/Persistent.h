#pragma once
// TPersistent: the base of objects whose state can be copied from another object with Assign.
// Assign asks the source to copy itself into the target when the target does not know the
// source's class (double dispatch); when neither side knows the other, EConvertError
// "Cannot assign a X to a Y".
#include "platform/core/Object.h"

namespace xan::plat {

class TPersistent : public TObject {
    XAN_CLASS(TPersistent, TObject)
    virtual void Assign(const TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest) const;
};

}  // namespace xan::plat
