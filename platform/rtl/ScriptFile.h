#pragma once
// Script files as editors save them: UTF-8 with or without a byte-order mark, UTF-16 (either
// byte order) with a byte-order mark, and anything that is not valid UTF-8 as Windows-1252, the
// code page scripts of these dialects were written in. Every place that loads a script file
// reads it through here, so a file means the same text in the runner, the debugger and hosts.
#include <string>
#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat {

// Whether ABytes is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view ABytes) noexcept;

// The text of a script file's bytes, without its byte-order mark.
UString DecodeScriptText(std::string_view ABytes);

// Reads and decodes the file at APath; on failure answers false with the reason in AError.
bool LoadScriptFile(const std::string& APath, UString& AText, std::string& AError);

}  // namespace xan::plat
