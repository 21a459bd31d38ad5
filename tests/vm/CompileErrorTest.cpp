#include "vm/bytecode/CompileError.h"

#include <gtest/gtest.h>

namespace xan {
namespace {

XAN_EXCEPTION(ETestCompiler, EXANCompileBase)

TEST(CompileError, CarriesMessageAndSourcePosition) {
    EXANCompileBase e(u"Invalid token: ';'.", 42);
    EXPECT_EQ(e.Message(), u"Invalid token: ';'.");
    EXPECT_EQ(e.SourcePos(), 42);
    EXPECT_EQ(EXANCompileBase().SourcePos(), 0);  // before the text
}

TEST(CompileError, FrontEndErrorsAreCompileErrorsAndPlatformExceptions) {
    try {
        plat::Throw<ETestCompiler>(u"boom", 7);
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        ASSERT_TRUE(e->Is<EXANCompileBase>());
        EXPECT_EQ(static_cast<EXANCompileBase*>(e.get())->SourcePos(), 7);
        EXPECT_EQ(e->ClassName(), u"ETestCompiler");
        EXPECT_EQ(e->ClassParent(), EXANCompileBase::StaticClass());
        return;
    }
    FAIL() << "no exception";
}

}  // namespace
}  // namespace xan

namespace xan {
namespace {

TEST(CompileError, FormattedMessage) {
    const plat::FormatArg args[] = {plat::UString(u"x"), 31};
    EXANCompileBase e(u"Object or value named '%s' already exists. ($%x)", args, 9);
    EXPECT_EQ(e.Message(), u"Object or value named 'x' already exists. ($1F)");
    EXPECT_EQ(e.SourcePos(), 9);
}

TEST(CompileError, RaiseFormattedError) {
    try {
        RaiseCompileErrorFmt<EXANCompileBase>(u"Invalid token: %s.", 12, u"'end'");
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        EXPECT_EQ(e->Message(), u"Invalid token: 'end'.");
        EXPECT_EQ(static_cast<EXANCompileBase*>(e.get())->SourcePos(), 12);
        return;
    }
    FAIL() << "no exception";
}

}  // namespace
}  // namespace xan
