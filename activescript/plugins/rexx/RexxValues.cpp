#include "activescript/plugins/rexx/RexxValues.h"

#include <charconv>
#include <cstdio>

#include "activescript/HostObjects.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/ComPtr.h"

namespace xan::as::rexx {

using plat::Variant;

namespace {

constexpr std::string_view KObjectPrefix = "Object#";
constexpr std::string_view KArrayPrefix = "Array#";

// The shortest decimal that reads back as ANumber, with REXX's capital exponent mark.
std::string NumberText(double ANumber) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, ANumber);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

std::string DateText(double ADate) {
    const plat::DateParts d = plat::DecodeDate(ADate);
    const plat::TimeParts t = plat::DecodeTime(ADate);
    char buffer[32];
    if (t.hour == 0 && t.minute == 0 && t.second == 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour,
                      t.minute, t.second);
    return buffer;
}

// A whole number as ToRexx writes one, or none.
std::optional<Variant> WholeNumber(std::string_view AText) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(AText.data(), AText.data() + AText.size(), value);
    if (ec != std::errc() || end != AText.data() + AText.size() || std::to_string(value) != AText) return {};
    if (value >= INT32_MIN && value <= INT32_MAX) return Variant(static_cast<std::int32_t>(value));
    return Variant(value);
}

// A fractional or exponent number as ToRexx writes one, or none.
std::optional<Variant> FractionalNumber(std::string_view AText) {
    if (AText.find_first_of(".E") == std::string_view::npos) return {};
    double value = 0;
    const auto [end, ec] = std::from_chars(AText.data(), AText.data() + AText.size(), value);
    if (ec != std::errc() || end != AText.data() + AText.size() || NumberText(value) != AText) return {};
    return Variant(value);
}

}  // namespace

std::string TRexxHandles::HandleOf(const Variant& AValue) {
    const bool isObject = !AValue.IsArray();
    if (isObject)
        for (std::size_t i = 0; i < FValues.size(); ++i)
            if (!FValues[i].IsArray() && FValues[i].VDispatch == AValue.VDispatch)
                return std::string(KObjectPrefix) + std::to_string(i + 1);
    FValues.push_back(AValue);
    return std::string(isObject ? KObjectPrefix : KArrayPrefix) + std::to_string(FValues.size());
}

const Variant* TRexxHandles::Find(std::string_view AText) const {
    const std::string_view prefix = AText.rfind(KObjectPrefix, 0) == 0 ? KObjectPrefix
                                    : AText.rfind(KArrayPrefix, 0) == 0 ? KArrayPrefix
                                                                        : std::string_view();
    if (prefix.empty()) return nullptr;
    std::size_t n = 0;
    const std::string_view digits = AText.substr(prefix.size());
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || n == 0 || n > FValues.size()) return nullptr;
    const Variant& value = FValues[n - 1];
    return value.IsArray() == (prefix == KArrayPrefix) ? &value : nullptr;
}

std::string ToRexx(TRexxHandles& AHandles, const plat::VarData& AValue) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType & plat::varArray) return AHandles.HandleOf(Variant(v));
    switch (v.VType) {
        case plat::varEmpty: case plat::varNull: return std::string();
        case plat::varBoolean: return v.VBoolean ? "1" : "0";
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64:
            return std::to_string(plat::VarToInt64(v));
        case plat::varUInt64: return std::to_string(v.VUInt64);
        case plat::varError: return std::to_string(v.VError);
        case plat::varDate: return DateText(v.VDate);
        case plat::varOleStr: case plat::varString: return plat::UString(v.StrView()).ToUtf8();
        case plat::varDispatch: case plat::varUnknown: {
            plat::ComPtr<plat::IDispatch> d = plat::ComPtr<plat::IDispatch>::Attach(plat::VarToDispatch(v));
            return d ? AHandles.HandleOf(Variant(d.Get())) : std::string();
        }
        default: return NumberText(plat::VarToDouble(v));
    }
}

std::optional<std::string> ToRexxArgument(TRexxHandles& AHandles, const plat::VarData& AValue) {
    if (plat::VarDerefAll(AValue).VType == plat::varEmpty) return {};
    return ToRexx(AHandles, AValue);
}

Variant FromRexx(const TRexxHandles& AHandles, const std::optional<std::string_view>& AText) {
    if (!AText) return Variant();
    if (const Variant* handled = AHandles.Find(*AText)) return *handled;
    if (std::optional<Variant> whole = WholeNumber(*AText)) return *whole;
    if (std::optional<Variant> fractional = FractionalNumber(*AText)) return *fractional;
    return Variant(plat::UString::FromUtf8(*AText));
}

std::vector<std::string> StemElements(TRexxHandles& AHandles, const plat::VarData& AArray) {
    std::vector<std::string> texts;
    for (const Variant& item : ArrayElements(AArray)) texts.push_back(ToRexx(AHandles, item));
    return texts;
}

Variant ArrayOfStem(const TRexxHandles& AHandles, std::span<const std::string> AElements) {
    std::vector<Variant> items;
    items.reserve(AElements.size());
    for (const std::string& text : AElements) items.push_back(FromRexx(AHandles, std::string_view(text)));
    return MakeVariantArray(items);
}

}  // namespace xan::as::rexx
