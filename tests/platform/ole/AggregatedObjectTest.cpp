// Inner objects sharing their controller's reference count.
#include <gtest/gtest.h>

#include "OleTestSupport.h"
#include "platform/ole/AggregatedObject.h"

namespace xan::plat {
namespace {

// An inner object that offers IDispatch of its own (through the test dispatch's members).
class TInner : public TContainedObject, public IDispatch {
    XAN_CLASS(TInner, TContainedObject)
    using TContainedObject::TContainedObject;
    HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(const TGUID&, const char16_t* const*, std::uint32_t, LCID, DISPID* ids) noexcept override {
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID, const TGUID&, LCID, std::uint16_t, DISPPARAMS*, Variant* result, EXCEPINFO*,
                   std::uint32_t*) noexcept override {
        if (result) *result = Variant(u"inner");
        return S_OK;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TInner, IDispatch>()};
        return table;
    }
};

// The controller: its own QueryInterface knows only IUnknown; it owns two inner objects.
class TOuter : public TInterfacedObject {
    XAN_CLASS(TOuter, TInterfacedObject)
    TOuter() : contained(new TInner(this)), aggregated(new TAggregatedObject(this)) { ++live; }
    ~TOuter() override {
        delete contained;
        delete aggregated;
        --live;
    }
    TInner* contained;
    TAggregatedObject* aggregated;
    static inline int live = 0;
};

TEST(AggregatedObject, CountsOnTheControllerAndAnswersItsInterfaces) {
    ComPtr<TOuter> outer(new TOuter);
    IUnknown* agg = outer->aggregated;
    agg->AddRef();
    EXPECT_EQ(outer->RefCount(), 2);
    agg->Release();
    ComPtr<IUnknown> id;
    EXPECT_EQ(agg->QueryInterface(IID_IUnknown, id.PutVoid()), S_OK);
    EXPECT_EQ(id.Get(), static_cast<IUnknown*>(outer.Get()));
    void* none = nullptr;
    EXPECT_EQ(agg->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
}

TEST(ContainedObject, OffersItsOwnInterfacesButLivesWithTheController) {
    {
        ComPtr<TOuter> outer(new TOuter);
        ComPtr<IDispatch> disp;
        ASSERT_EQ(outer->contained->QueryInterface(IID_IDispatch, disp.PutVoid()), S_OK);
        EXPECT_EQ(outer->RefCount(), 2);
        Variant r;
        EXPECT_EQ(disp->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, &r, nullptr, nullptr), S_OK);
        EXPECT_EQ(r.StrView(), u"inner");
        outer = nullptr;  // the dispatch reference keeps the whole object alive
        EXPECT_EQ(TOuter::live, 1);
    }
    EXPECT_EQ(TOuter::live, 0);
}

}  // namespace
}  // namespace xan::plat
