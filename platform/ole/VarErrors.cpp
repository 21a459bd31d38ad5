#include "platform/ole/VarErrors.h"

namespace xan::plat {

void RaiseVarTypeCast() { Throw<EVariantTypeCastError>(SVarTypeCast); }
void RaiseVarInvalidOp() { Throw<EVariantInvalidOpError>(SVarInvalidOp); }
void RaiseVarOverflow() { Throw<EVariantOverflowError>(SVarOverflow); }
void RaiseDivByZero() { Throw<EDivByZero>(SDivByZero); }
void RaiseVarBadIndex() { Throw<EVariantBadIndexError>(SVarBadIndex); }
void RaiseVarNotArray() { Throw<EVariantNotAnArrayError>(SVarNotArray); }
void RaiseVarArrayCreate() { Throw<EVariantArrayCreateError>(SVarArrayCreate); }
void RaiseVarBadVarType() { Throw<EVariantBadVarTypeError>(SVarBadVarType); }
void RaiseVarInvalidArg() { Throw<EVariantInvalidArgError>(SVarInvalidArg); }
void RaiseVarArrayLocked() { Throw<EVariantArrayLockedError>(SVarArrayLocked); }

}  // namespace xan::plat
