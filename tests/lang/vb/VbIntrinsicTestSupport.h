#pragma once
// Helpers shared by the built-in tests: calling a built-in the way a call instruction does, with
// a hand-built call descriptor and argument slots, and reading the error a call raises.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "lang/vb/VbIntrinsics.h"
#include "platform/core/Exception.h"
#include "platform/core/FormatSettings.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"

namespace xan::vb::bitest {

using plat::UString;
using plat::Variant;

// Changes the process locale settings for a test and restores them afterwards.
class ScopedSettings {
public:
    template <class F>
    explicit ScopedSettings(F&& AChange) : FSaved(plat::FormatSettings()) {
        plat::TFormatSettings changed = FSaved;
        AChange(changed);
        plat::SetFormatSettings(changed);
    }
    ~ScopedSettings() { plat::SetFormatSettings(FSaved); }
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

private:
    plat::TFormatSettings FSaved;
};

inline std::string Utf8(const UString& AText) { return AText.ToUtf8(); }

// A call descriptor as the compiler emits it for `Name(args)` in an expression (or, with
// AResultUsed false, as a statement).
class TestCall : public TXANCall {
public:
    explicit TestCall(Integer AArgCount, TXANBracketType ABracket = bkVbRound, bool AResultUsed = true) {
        FBracketType = ABracket;
        FArgCount = AArgCount;
        FResMask = AResultUsed ? XANResMaskValue : XANResMaskNone;
    }
};

// Runs the built-in through Execute (call check included) and answers the result slot.
inline Variant Exec(TVbIntrinsic& AIntrinsic, std::vector<Variant> AArgs, TXANBracketType ABracket = bkVbRound,
                   bool AResultUsed = true, TXANVMBase* AVM = nullptr) {
    TestCall call(Integer(AArgs.size()), ABracket, AResultUsed);
    Variant result;
    AIntrinsic.Execute(AVM, &call, AArgs.data(), result);
    return result;
}

template <class T>
Variant Call(std::vector<Variant> AArgs = {}) {
    T intrinsic;
    return Exec(intrinsic, std::move(AArgs));
}

// The class name and message of what the call raises ("" when nothing is raised).
template <class F>
std::string ErrorOf(F&& AAction) {
    const std::unique_ptr<plat::Exception> e = plat::CatchAll(std::forward<F>(AAction));
    return e ? Utf8(e->ClassName()) + ": " + Utf8(e->Message()) : std::string();
}

template <class T>
std::string CallError(std::vector<Variant> AArgs = {}) {
    return ErrorOf([&] { Call<T>(std::move(AArgs)); });
}

inline const std::string ConversionError = "EVariantTypeCastError: Invalid variant type conversion";
inline const std::string ParamCountError = "EXANVMRuntime: Invalid argument count";
inline const std::string TypeMismatchError = "EXANVMRuntime: Invalid type cast or type mismatch";

// The elements of a one-dimensional array as texts, after checking that it is an array of
// variants with lower bound 0.
inline std::vector<std::string> Texts(const Variant& AArray) {
    EXPECT_EQ(AArray.VType, plat::varArray | plat::varVariant);
    if (!AArray.IsArray()) return {};
    const plat::SafeArray& array = AArray.Array();
    EXPECT_EQ(array.DimCount(), 1);
    EXPECT_EQ(array.Low(1), 0);
    std::vector<std::string> texts;
    Variant element;
    for (std::int64_t i = 0; i < array.ElementCount(); ++i) {
        array.GetFlat(i, element);
        texts.push_back(Utf8(plat::VarToUString(element)));
    }
    return texts;
}

// A variant array of variants with bounds 0..n-1 holding AItems.
inline Variant ArrayOf(std::initializer_list<Variant> AItems) {
    Variant result = Variant::FromArray(plat::SafeArray::Create1(plat::varVariant, 0, Integer(AItems.size())));
    std::int64_t i = 0;
    for (const Variant& item : AItems) result.MutableArray().PutFlat(i++, item);
    return result;
}

inline std::string Str(const Variant& AValue) {
    EXPECT_EQ(AValue.VType, plat::varOleStr);
    return Utf8(plat::VarToUString(AValue));
}

inline Integer Int(const Variant& AValue) {
    EXPECT_EQ(AValue.VType, plat::varInteger);
    return plat::VarToInt32(AValue);
}

inline double Dbl(const Variant& AValue) {
    EXPECT_EQ(AValue.VType, plat::varDouble);
    return plat::VarToDouble(AValue);
}

inline bool Bool(const Variant& AValue) {
    EXPECT_EQ(AValue.VType, plat::varBoolean);
    return plat::VarToBool(AValue);
}

}  // namespace xan::vb::bitest
