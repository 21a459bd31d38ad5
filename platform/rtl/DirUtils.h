#pragma once
// Directory routines. Failures raise EInOutError carrying the system error code and its text.
// There are no drive letters: the current directory is the same for every drive number.
#include "platform/core/UString.h"

namespace xan::plat {

void ChDir(const UString& dir);
void MkDir(const UString& dir);
void RmDir(const UString& dir);  // only empty directories, never files
UString GetCurrentDir();

}  // namespace xan::plat
