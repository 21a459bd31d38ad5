#include "platform/ole/SafeArray.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/ole/ComIntf.h"
#include "platform/ole/VarErrors.h"

namespace xan::plat {

namespace {

// Arrays beyond these sizes are refused as a creation error rather than attempted: a script
// asking for billions of elements gets a clear error instead of exhausting the machine.
constexpr std::int64_t kMaxElements = INT32_MAX;
constexpr std::int64_t kMaxBytes = std::int64_t{1} << 31;

bool IsManagedElem(VarType t) noexcept {
    return t == varOleStr || t == varDispatch || t == varUnknown || t == varVariant;
}

}  // namespace

std::size_t SafeArray::ElemSize(VarType t) noexcept {
    switch (t) {
    case varShortInt:
    case varByte: return 1;
    case varSmallint:
    case varBoolean:
    case varWord: return 2;
    case varInteger:
    case varSingle:
    case varError:
    case varLongWord: return 4;
    case varDouble:
    case varCurrency:
    case varDate:
    case varInt64:
    case varUInt64: return 8;
    case varOleStr:
    case varDispatch:
    case varUnknown: return sizeof(void*);
    case varVariant: return sizeof(Variant);
    default: return 0;
    }
}

bool SafeArray::IsValidElemType(VarType elemType) noexcept { return ElemSize(elemType) != 0; }

SafeArray* SafeArray::Allocate(VarType elemType, std::span<const Bound> bounds) {
    const std::size_t size = ElemSize(elemType);
    if (size == 0 || bounds.empty() || bounds.size() > static_cast<std::size_t>(MaxDims)) RaiseVarArrayCreate();
    std::int64_t total = 1;
    for (const Bound& b : bounds) {
        // The high bound (low + count - 1) must be representable too.
        if (b.count < 0 || static_cast<std::int64_t>(b.low) + b.count - 1 > INT32_MAX) RaiseVarArrayCreate();
        total *= b.count;
        if (total > kMaxElements) RaiseVarArrayCreate();
    }
    if (total * static_cast<std::int64_t>(size) > kMaxBytes) RaiseVarArrayCreate();
    auto* a = new SafeArray(elemType, static_cast<int>(bounds.size()));
    a->elemSize_ = static_cast<std::uint16_t>(size);
    a->plainScalar_ = !VarIsManagedType(elemType) && elemType != varVariant && elemType != varDecimal;
    a->total_ = total;
    std::memcpy(a->bounds_, bounds.data(), bounds.size() * sizeof(Bound));
    if (total > 0) {
        // All-zero bits are a valid element of every type: 0, empty string, nil, Empty.
        a->data_ = static_cast<std::byte*>(std::calloc(static_cast<std::size_t>(total), size));
        if (!a->data_) {
            delete a;
            RaiseVarArrayCreate();
        }
    }
    return a;
}

SafeArray* SafeArray::Create(VarType elemType, std::span<const Bound> bounds) { return Allocate(elemType, bounds); }

SafeArray::~SafeArray() {
    DestroyElements(0, total_);
    std::free(data_);
}

void SafeArray::Release() noexcept {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

void SafeArray::DestroyElements(std::int64_t from, std::int64_t to) noexcept {
    if (!IsManagedElem(elemType_)) return;
    for (std::int64_t i = from; i < to; ++i) {
        std::byte* p = ElemAt(i);
        switch (elemType_) {
        case varOleStr: UString::ReleaseRawRef(*reinterpret_cast<void**>(p)); break;
        case varDispatch:
            if (auto* d = *reinterpret_cast<IDispatch**>(p)) d->Release();
            break;
        case varUnknown:
            if (auto* u = *reinterpret_cast<IUnknown**>(p)) u->Release();
            break;
        default: reinterpret_cast<Variant*>(p)->Clear(); break;
        }
        std::memset(p, 0, elemSize_);
    }
}

SafeArray* SafeArray::Clone() const {
    SafeArray* c = Allocate(elemType_, std::span<const Bound>(bounds_, static_cast<std::size_t>(dims_)));
    if (total_ == 0) return c;
    if (!IsManagedElem(elemType_)) {
        std::memcpy(c->data_, data_, static_cast<std::size_t>(total_) * elemSize_);
        return c;
    }
    for (std::int64_t i = 0; i < total_; ++i) {
        Variant v;
        GetFlat(i, v);
        c->PutFlat(i, v);
    }
    return c;
}

void SafeArray::CheckDim(int dim) const {
    if (dim < 1 || dim > dims_) RaiseVarBadIndex();
}

std::int32_t SafeArray::Low(int dim) const {
    CheckDim(dim);
    return bounds_[dim - 1].low;
}

std::int32_t SafeArray::Count(int dim) const {
    CheckDim(dim);
    return bounds_[dim - 1].count;
}

std::int32_t SafeArray::High(int dim) const {
    CheckDim(dim);
    return bounds_[dim - 1].low + bounds_[dim - 1].count - 1;
}

std::int64_t SafeArray::FlatIndex(std::span<const std::int32_t> idx) const {
    if (idx.size() != static_cast<std::size_t>(dims_)) RaiseVarBadIndex();
    if (dims_ == 1) {  // the common case, without the stride arithmetic
        const std::int64_t off = static_cast<std::int64_t>(idx[0]) - bounds_[0].low;
        if (off < 0 || off >= bounds_[0].count) RaiseVarBadIndex();
        return off;
    }
    std::int64_t pos = 0, stride = 1;
    for (int d = 0; d < dims_; ++d) {
        const std::int64_t off = static_cast<std::int64_t>(idx[d]) - bounds_[d].low;
        if (off < 0 || off >= bounds_[d].count) RaiseVarBadIndex();
        pos += off * stride;
        stride *= bounds_[d].count;
    }
    return pos;
}

void SafeArray::GetFlat(std::int64_t pos, Variant& out) const {
    const std::byte* p = ElemAt(pos);
    switch (elemType_) {
    case varVariant: out.Assign(*reinterpret_cast<const Variant*>(p)); return;
    case varOleStr: {
        void* raw = *reinterpret_cast<void* const*>(p);
        UString::AddRefRaw(raw);
        out.SetString(UString::AdoptRaw(raw));
        return;
    }
    case varDispatch: out = Variant(*reinterpret_cast<IDispatch* const*>(p)); return;
    case varUnknown: out = Variant(*reinterpret_cast<IUnknown* const*>(p)); return;
    default: break;
    }
    // Sign- or zero-extension does not matter: readers use the field of the element's width.
    out.SetRaw(elemType_, LoadPlain(p));
}

void SafeArray::Get(std::span<const std::int32_t> idx, Variant& out) const { GetFlat(FlatIndex(idx), out); }

bool SafeArray::TryGetVariant(std::int64_t pos, Variant& out) const noexcept {
    if (elemType_ != varVariant) return false;
    out.Assign(*reinterpret_cast<const Variant*>(ElemAt(pos)));
    return true;
}

bool SafeArray::TryPutVariant(std::int64_t pos, const Variant& value) noexcept {
    if (elemType_ != varVariant || (value.VType & varByRef) != 0) return false;  // references, $400C included
    reinterpret_cast<Variant*>(ElemAt(pos))->Assign(value);
    return true;
}

void SafeArray::RequireUnshared() const {
    if (RefCount() != 1) RaiseVarArrayLocked();
}

void SafeArray::PutFlat(std::int64_t pos, const VarData& value, const TFormatSettings& fs) {
    std::byte* p = ElemAt(pos);
    if (elemType_ == varVariant) {
        // A reference would dangle once its target goes: store what it refers to.
        reinterpret_cast<Variant*>(p)->Assign(VarDerefAll(value));
        return;
    }
    if (PutSameScalar(pos, value)) return;
    Variant converted;
    VarCast(converted, value, elemType_, fs);
    DestroyElements(pos, pos + 1);
    VarData raw = converted.Detach();
    StorePlain(p, raw.VInt64);
}


void SafeArray::Put(std::span<const std::int32_t> idx, const VarData& value, const TFormatSettings& fs) {
    RequireUnshared();
    PutFlat(FlatIndex(idx), value, fs);
}

void SafeArray::Put(std::span<const std::int32_t> idx, const VarData& value) {
    RequireUnshared();
    const std::int64_t pos = FlatIndex(idx);
    if (!PutSameScalar(pos, value)) PutFlat(pos, value, FormatSettings());
}

void* SafeArray::ElementPtr(std::span<const std::int32_t> idx) { return ElemAt(FlatIndex(idx)); }

void SafeArray::CopyElement(std::int64_t pos, const SafeArray& src, std::int64_t srcPos, const TFormatSettings& fs) {
    Variant v;
    src.GetFlat(srcPos, v);
    PutFlat(pos, v, fs);
}

SafeArray* SafeArray::CreateResized(const SafeArray& src, VarType elemType, std::span<const Bound> bounds,
                                    const TFormatSettings& fs) {
    if (bounds.size() != static_cast<std::size_t>(src.dims_)) RaiseVarInvalidArg();
    SafeArray* dst = Allocate(elemType, bounds);
    // The index ranges both arrays have, per dimension.
    std::int32_t lo[MaxDims], hi[MaxDims];
    for (int d = 0; d < src.dims_; ++d) {
        lo[d] = std::max(src.bounds_[d].low, bounds[d].low);
        hi[d] = std::min(src.High(d + 1), dst->High(d + 1));
        if (lo[d] > hi[d]) return dst;
    }
    std::int32_t idx[MaxDims];
    std::copy(lo, lo + src.dims_, idx);
    const std::span<const std::int32_t> at(idx, static_cast<std::size_t>(src.dims_));
    try {
        for (;;) {
            dst->CopyElement(dst->FlatIndex(at), src, src.FlatIndex(at), fs);
            int d = 0;  // odometer, first dimension fastest
            while (d < src.dims_ && idx[d] == hi[d]) {
                idx[d] = lo[d];
                ++d;
            }
            if (d == src.dims_) break;
            ++idx[d];
        }
    } catch (...) {
        dst->Release();
        throw;
    }
    return dst;
}

void SafeArray::RedimLast(Bound last) {
    RequireUnshared();
    Bound nb[MaxDims];
    std::copy(bounds_, bounds_ + dims_, nb);
    nb[dims_ - 1] = last;
    SafeArray* n = CreateResized(*this, elemType_, std::span<const Bound>(nb, static_cast<std::size_t>(dims_)));
    std::swap(data_, n->data_);
    std::swap(total_, n->total_);
    std::swap(bounds_[dims_ - 1], n->bounds_[dims_ - 1]);
    n->Release();
}

}  // namespace xan::plat
