#pragma once
// Values between REXX and automation. Every REXX value is a string, so each automation value
// becomes the text a REXX program would write for it, and a text comes back as a number only
// when it is exactly the text this module writes for that number (so no text changes on the
// way back: "007" and "2.50" stay strings):
//   Empty -> an omitted argument (arg(n, 'O')), "" elsewhere      Null -> ""
//   Boolean -> 1 / 0 (REXX's own truth values; they come back as the numbers 1 and 0)
//   integer types <-> whole numbers (Integer when it fits, else Int64)
//   Single, Double, Currency -> the shortest decimal that reads back the same; such a text -> Double
//   Date -> "YYYY-MM-DD hh:mm:ss" ("YYYY-MM-DD" at midnight), sortable and easy to PARSE;
//           it comes back as that string
//   String <-> string (UTF-8 inside REXX)
//   dispatch object <-> a handle "Object#n"; array <-> a handle "Array#n" (a live handle of the
//   same engine converts back to its value); a global of the script holds an array as a stem
//   (name.0 the count, name.1 ... name.n the elements).
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ole/Variant.h"

namespace xan::as::rexx {

// The objects and arrays one engine has handed to its script, by handle. A handle lives as
// long as the engine: the script may keep it in a variable between calls.
class TRexxHandles {
public:
    // The handle of an object (the same object always gets the same handle) or an array.
    std::string HandleOf(const plat::Variant& AValue);
    // The value of a live handle, or null.
    const plat::Variant* Find(std::string_view AText) const;

private:
    std::vector<plat::Variant> FValues;  // handle n is FValues[n - 1]
};

// The REXX text of AValue (references followed).
std::string ToRexx(TRexxHandles& AHandles, const plat::VarData& AValue);
// An argument: none for Empty (the argument is omitted), else the text.
std::optional<std::string> ToRexxArgument(TRexxHandles& AHandles, const plat::VarData& AValue);
// The automation value of a REXX text; an omitted argument (none) is Empty.
plat::Variant FromRexx(const TRexxHandles& AHandles, const std::optional<std::string_view>& AText);

// A stem's element texts for an array (one-dimensional, in index order) and back.
std::vector<std::string> StemElements(TRexxHandles& AHandles, const plat::VarData& AArray);
plat::Variant ArrayOfStem(const TRexxHandles& AHandles, std::span<const std::string> AElements);

}  // namespace xan::as::rexx
