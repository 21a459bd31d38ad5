#pragma once
// Test helper: runs f and answers the message of the platform exception it raises, after
// checking the exception's class; fails the test when nothing or something else is raised.
#include <gtest/gtest.h>

#include <memory>

#include "platform/core/Exception.h"

namespace xan::plat::testing {

template <class E, class F>
UString RaisedMessage(F&& f) {
    try {
        f();
    } catch (const RaisedException& raised) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(raised));
        if (!e) {
            ADD_FAILURE() << "raised object already acquired";
            return {};
        }
        EXPECT_TRUE(e->InheritsFrom(E::StaticClass())) << "raised " << e->ClassName().ToUtf8();
        return e->Message();
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

}  // namespace xan::plat::testing
