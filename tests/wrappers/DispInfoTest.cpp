// Member tables: the default-member slot, name lookups with hidden members, later items
// winning names, and the type information over a table.
#include <gtest/gtest.h>

#include "platform/core/CharCase.h"
#include "platform/ole/HResult.h"
#include "wrappers/DispInfo.h"
#include "wrappers/WrapperData.h"

namespace xan::test {
namespace {

std::unique_ptr<TXANInvokeItem> Item(const char16_t* AName, TXANInvokeItemAttrs AAttrs = 0,
                                     std::uint32_t AFlags = XANInvokeMethod) {
    auto item = std::make_unique<TXANInvokeItem>();
    item->Name = AName;
    item->UppName = plat::UString(AName).view() == u"" ? plat::UString() : plat::IdentUpperCase(AName);
    item->Attrs = AAttrs;
    item->InvokeFlags = AFlags;
    return item;
}

TEST(DispInfo, FirstItemCreatesTheDefaultSlotAtPositionZero) {
    TXANDispInfo info;
    info.Add(Item(u"Run"));
    ASSERT_EQ(info.GetCount(), 2);
    EXPECT_TRUE(info.GetItem(0)->UppName.empty());
    EXPECT_EQ(info.GetItem(0)->InvokeFlags, 0u);
    EXPECT_EQ(info.GetIDOfName(u"run", false), 1);
}

TEST(DispInfo, DefaultMemberFillsSlotZeroButNoName) {
    TXANDispInfo info;
    info.Add(Item(u"Items", iiaDefaultProp, XANInvokeGet));
    EXPECT_EQ(info.GetItem(0)->Name, u"Items");
    EXPECT_EQ(info.GetItem(0)->Index, 0);
    EXPECT_EQ(info.GetIDOfName(u"", false), -1);
}

TEST(DispInfo, HiddenDefaultMemberLeavesTheSlotEmpty) {
    TXANDispInfo info;
    info.Add(Item(u"Items", iiaDefaultProp | iiaHidden, XANInvokeGet));
    EXPECT_EQ(info.GetItem(0)->InvokeFlags, 0u);
}

TEST(DispInfo, HiddenMembersAreFoundOnlyWhenAllowed) {
    TXANDispInfo info;
    info.Add(Item(u"Secret", iiaHidden));
    EXPECT_EQ(info.GetIDOfName(u"SECRET", false), -1);
    EXPECT_EQ(info.GetIDOfName(u"SECRET", true), 1);
}

TEST(DispInfo, LaterItemWinsTheNameAndTheEarlierKeepsItsId) {
    TXANDispInfo info;
    info.Add(Item(u"Value"));
    info.Add(Item(u"value"));
    EXPECT_EQ(info.GetIDOfName(u"VALUE", false), 2);
    EXPECT_EQ(info.GetItem(1)->Name, u"Value");
}

TEST(DispInfo, MetatypeViewFindsOnlyClassLevelMembers) {
    TXANDispInfo info;
    info.Add(Item(u"Instance"));
    info.Add(Item(u"Create", iiaMetaMember));
    TXANMetatypeDispInfo view(&info);
    EXPECT_EQ(view.GetIDOfName(u"Instance", false), -1);
    EXPECT_EQ(view.GetIDOfName(u"Create", false), 2);
    EXPECT_EQ(view.GetCount(), info.GetCount());
}

TEST(DispTypeInfo, DescribesEveryItemAfterTheSlot) {
    TXANDispInfo info;
    info.Add(Item(u"Count", 0, XANInvokeGet))->DebugType = TVarDebugType::Get(plat::varInteger);
    info.Add(Item(u"Hidden", iiaHidden, XANInvokeGet));
    plat::ITypeInfo* ti = info.TypeInfo();
    plat::TYPEATTR* attr = nullptr;
    ASSERT_EQ(ti->GetTypeAttr(&attr), plat::S_OK);
    EXPECT_EQ(attr->cFuncs, 2);
    EXPECT_EQ(attr->wTypeFlags, 4224);
    EXPECT_EQ(attr->typekind, plat::TKIND_DISPATCH);
    ti->ReleaseTypeAttr(attr);
    plat::FUNCDESC* desc = nullptr;
    ASSERT_EQ(ti->GetFuncDesc(0, &desc), plat::S_OK);
    EXPECT_EQ(desc->memid, 1);
    EXPECT_EQ(desc->invkind, plat::INVOKE_PROPERTYGET);
    EXPECT_EQ(desc->elemdescFunc.vt, plat::varInteger);
    ti->ReleaseFuncDesc(desc);
    EXPECT_EQ(ti->GetFuncDesc(2, &desc), plat::E_INVALIDARG);
    const char16_t* name = u"hidden";
    plat::MEMBERID id = 0;
    EXPECT_EQ(ti->GetIDsOfNames(&name, 1, &id), plat::S_OK);  // type information sees hidden ones
    EXPECT_EQ(id, 2);
    plat::UString names[1];
    std::uint32_t count = 0;
    EXPECT_EQ(ti->GetNames(1, names, 1, &count), plat::S_OK);
    EXPECT_EQ(names[0], u"Count");
}

}  // namespace
}  // namespace xan::test
