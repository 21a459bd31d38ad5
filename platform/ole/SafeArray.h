#pragma once
// SafeArray: the storage of a variant array.
//
// A SafeArray is reference counted and shared copy-on-write by the Variants that hold it:
// copying such a Variant only increments the count, and Variant::MutableArray() clones the
// array before the first write while it is shared. So `b := a` is O(1) and still gives `b` a
// value of its own.
//
// Elements are stored by their type: numbers and Booleans raw, strings as shared UString
// buffers, objects as counted interface pointers, Variants as Variants. The first dimension
// varies fastest, so growing the last dimension keeps every element in place. Dimensions are
// numbered from 1; index lists name dimension 1 first.
//
// Errors: a bad index or dimension raises EVariantBadIndexError; a creation that cannot be done
// (negative count, element type arrays cannot hold, more than MaxDims dimensions, more than
// 2^31 - 1 elements or 2 GiB of storage)
// EVariantArrayCreateError; a write to a shared array EVariantArrayLockedError.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "platform/core/FormatSettings.h"
#include "platform/ole/Variant.h"

namespace xan::plat {

class SafeArray {
public:
    struct Bound {
        std::int32_t low;
        std::int32_t count;  // elements in the dimension; 0 is allowed
    };
    static constexpr int MaxDims = 60;

    // A new array with one reference; every element is zero, empty or nil.
    static SafeArray* Create(VarType elemType, std::span<const Bound> bounds);
    static SafeArray* Create1(VarType elemType, std::int32_t low, std::int32_t count) {
        const Bound b{low, count};
        return Create(elemType, std::span<const Bound>(&b, 1));
    }
    // A new array of `elemType` with `bounds` holding, converted, every element of `src` whose
    // index lies in the ranges common to both (nothing when a common range is empty).
    // The dimension counts must agree.
    static SafeArray* CreateResized(const SafeArray& src, VarType elemType, std::span<const Bound> bounds,
                                    const TFormatSettings& fs = FormatSettings());
    static bool IsValidElemType(VarType elemType) noexcept;

    void AddRef() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
    void Release() noexcept;
    std::int32_t RefCount() const noexcept { return refs_.load(std::memory_order_acquire); }
    // A deep copy with one reference.
    SafeArray* Clone() const;

    VarType ElemType() const noexcept { return elemType_; }
    int DimCount() const noexcept { return dims_; }
    std::int32_t Low(int dim) const;     // dim 1 .. DimCount()
    std::int32_t High(int dim) const;    // Low + Count - 1
    std::int32_t Count(int dim) const;
    std::int64_t ElementCount() const noexcept { return total_; }
    bool HasEmptyDimension() const noexcept { return total_ == 0; }

    // Reads the element at `idx` (one index per dimension) as a value of its type; a Variant
    // element is copied.
    void Get(std::span<const std::int32_t> idx, Variant& out) const;
    // Stores `value` (references followed) converted to the element type. Requires an unshared
    // array (see Variant::MutableArray).
    void Put(std::span<const std::int32_t> idx, const VarData& value, const TFormatSettings& fs);
    // The same; the current format settings are asked only when a text must be converted.
    void Put(std::span<const std::int32_t> idx, const VarData& value);
    // The element with the flat (storage-order) position `pos`, 0 .. ElementCount() - 1.
    void GetFlat(std::int64_t pos, Variant& out) const;
    void PutFlat(std::int64_t pos, const VarData& value, const TFormatSettings& fs = FormatSettings());
    // Element access for the interpreter's common case: a one-dimensional array and an index
    // inside it. TryGet1 copies the element into `out`; TryPut1 stores a value (not a reference)
    // that needs no conversion, into an unshared array. Both answer false, having done nothing,
    // in every other case: Get and Put then do the work and raise the errors.
    bool TryGet1(std::int32_t i, Variant& out) const noexcept {
        const std::int64_t pos = std::int64_t(i) - bounds_[0].low;
        if (dims_ != 1 || pos < 0 || pos >= bounds_[0].count) return false;
        if (!plainScalar_) return TryGetVariant(pos, out);
        out.SetRaw(elemType_, LoadPlain(ElemAt(pos)));
        return true;
    }
    bool TryPut1(std::int32_t i, const Variant& value) noexcept {
        const std::int64_t pos = std::int64_t(i) - bounds_[0].low;
        if (dims_ != 1 || pos < 0 || pos >= bounds_[0].count || RefCount() != 1) return false;
        if (!plainScalar_) return TryPutVariant(pos, value);
        return PutSameScalar(pos, value);
    }
    // Address of an element's storage, valid until the array is changed or released. For an
    // array of Variants it points to a Variant. Requires an unshared array for writing.
    void* ElementPtr(std::span<const std::int32_t> idx);

    // Changes the bounds of the last dimension keeping every element whose index stays inside;
    // new elements are zero, empty or nil. Requires an unshared array.
    void RedimLast(Bound last);

    ~SafeArray();
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;

private:
    SafeArray(VarType elemType, int dims) noexcept : elemType_(elemType), dims_(dims) {}
    static std::size_t ElemSize(VarType elemType) noexcept;
    static SafeArray* Allocate(VarType elemType, std::span<const Bound> bounds);
    std::int64_t FlatIndex(std::span<const std::int32_t> idx) const;
    void CheckDim(int dim) const;
    std::byte* ElemAt(std::int64_t pos) const noexcept { return data_ + pos * static_cast<std::int64_t>(elemSize_); }
    void DestroyElements(std::int64_t from, std::int64_t to) noexcept;
    void CopyElement(std::int64_t pos, const SafeArray& src, std::int64_t srcPos, const TFormatSettings& fs);
    void RequireUnshared() const;
    // Stores a value that already has the element's type and owns nothing; false otherwise.
    // Element loops store numbers into arrays of their own type: no conversion, nothing to release.
    bool PutSameScalar(std::int64_t pos, const VarData& value) noexcept {
        if (value.VType != elemType_ || !plainScalar_) return false;
        StorePlain(ElemAt(pos), value.VInt64);
        return true;
    }
    // TryGet1 / TryPut1 for elements that are not plain scalars (Variants; others refuse).
    bool TryGetVariant(std::int64_t pos, Variant& out) const noexcept;
    bool TryPutVariant(std::int64_t pos, const Variant& value) noexcept;
    // A plain scalar element's bits (sign or zero extension does not matter: readers use the
    // field of the element's width), and the store of such bits. Elements are 1, 2, 4 or 8
    // bytes: fixed-size copies the compiler turns into one move each.
    std::int64_t LoadPlain(const std::byte* p) const noexcept {
        switch (elemSize_) {
        case 1: return std::to_integer<std::int64_t>(*p);
        case 2: { std::uint16_t v; std::memcpy(&v, p, 2); return v; }
        case 4: { std::uint32_t v; std::memcpy(&v, p, 4); return v; }
        default: { std::int64_t v; std::memcpy(&v, p, 8); return v; }
        }
    }
    void StorePlain(std::byte* p, std::int64_t bits) noexcept {
        switch (elemSize_) {
        case 1: *p = static_cast<std::byte>(bits); return;
        case 2: { const auto v = static_cast<std::uint16_t>(bits); std::memcpy(p, &v, 2); return; }
        case 4: { const auto v = static_cast<std::uint32_t>(bits); std::memcpy(p, &v, 4); return; }
        default: std::memcpy(p, &bits, 8); return;
        }
    }

    std::atomic<std::int32_t> refs_{1};
    VarType elemType_;
    std::uint16_t elemSize_ = 0;
    bool plainScalar_ = false;  // a number, Boolean or date: raw bits, nothing owned, no Decimal
    int dims_;
    std::int64_t total_ = 0;
    std::byte* data_ = nullptr;
    Bound bounds_[MaxDims] = {};
};

// ---- Variant arrays (references followed) ----
// Anything that is not an array raises EVariantNotAnArrayError "Variant is not an array".

bool VarIsArray(const VarData& v) noexcept;
const SafeArray& VarArrayRef(const VarData& v);
// The array of the variable `v` refers to (or holds), made unshared for writing.
SafeArray& VarArrayForWrite(Variant& v);
Variant VarArrayCreate(VarType elemType, std::span<const SafeArray::Bound> bounds);
int VarArrayDimCount(const VarData& v);
std::int32_t VarArrayLowBound(const VarData& v, int dim);   // bad dim: EVariantBadIndexError
std::int32_t VarArrayHighBound(const VarData& v, int dim);
// The element at `idx` (an element of type Variant is copied).
Variant VarArrayGet(const VarData& v, std::span<const std::int32_t> idx);
// Stores `value` converted to the element type into the array the variable holds.
void VarArrayPut(Variant& v, std::span<const std::int32_t> idx, const VarData& value);

}  // namespace xan::plat
