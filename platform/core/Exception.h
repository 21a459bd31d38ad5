#pragma once
// The exception root class and the one raise protocol.
//
// Scripts test an exception's class, read and extend its message, hold it and re-raise the very
// same object, so exceptions are heap TObjects, not C++ values. What C++ throws is a
// RaisedException: a copyable handle whose shared box owns the object until somebody acquires
// it. A box that dies unacquired (the end of an ordinary host catch block) frees the object.
//
//   Raise(new EConvertError(u"..."));             // throw; the box owns the object
//   catch (const RaisedException& r) {
//       Exception* e = AcquireExceptionObject(r);  // now the catcher owns it
//       ...
//       Reraise(e);                                // same object again, flagged as a re-raise
//   }
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "platform/core/Object.h"

namespace xan::plat {

class Exception : public TObject {
    XAN_CLASS(Exception, TObject)
    Exception() = default;
    explicit Exception(UString message) : message_(std::move(message)) {}

    const UString& Message() const noexcept { return message_; }
    void SetMessage(UString message) { message_ = std::move(message); }

private:
    UString message_;
};

class RaisedException : public std::exception {
public:
    RaisedException(Exception* object, bool isReraise);
    Exception* Object() const noexcept;  // null once acquired
    bool IsReraise() const noexcept;
    const char* what() const noexcept override;

private:
    friend Exception* AcquireExceptionObject(const RaisedException&) noexcept;
    struct Box;
    std::shared_ptr<Box> box_;
};

[[noreturn]] void Raise(Exception* e);  // takes ownership
template <class E, class... Args>
[[noreturn]] void Throw(Args&&... args) {
    Raise(new E(std::forward<Args>(args)...));
}
// The caller owns the object from now on; null when it was acquired already.
Exception* AcquireExceptionObject(const RaisedException& raised) noexcept;
[[noreturn]] void Reraise(Exception* acquired);  // the same object, flagged as a re-raise

// Inside a catch block: the exception in flight as an owned platform exception object.
// A RaisedException yields its own object; std::bad_alloc becomes EOutOfMemory, any other
// std::exception an Exception with its what() text, anything else an Exception "External exception".
Exception* TranslateCurrentException();

// Runs f; any exception becomes an owned object (null when f returned normally).
template <class F>
std::unique_ptr<Exception> CatchAll(F&& f) {
    try {
        f();
        return nullptr;
    } catch (...) {
        return std::unique_ptr<Exception>(TranslateCurrentException());
    }
}

// Declares an exception class with the message constructor of its parent.
#define XAN_EXCEPTION(Self, Parent) \
    class Self : public Parent {    \
        XAN_CLASS(Self, Parent)     \
        using Parent::Parent;       \
    };

// The platform exception hierarchy scripts can catch and test by class.
XAN_EXCEPTION(EAbort, Exception)
XAN_EXCEPTION(EOutOfMemory, Exception)
XAN_EXCEPTION(EConvertError, Exception)
XAN_EXCEPTION(EAssertionFailed, Exception)
XAN_EXCEPTION(EListError, Exception)
XAN_EXCEPTION(EStackOverflow, Exception)
XAN_EXCEPTION(EExternal, Exception)
XAN_EXCEPTION(EIntError, EExternal)
XAN_EXCEPTION(EDivByZero, EIntError)
XAN_EXCEPTION(ERangeError, EIntError)
XAN_EXCEPTION(EIntOverflow, EIntError)
XAN_EXCEPTION(EMathError, EExternal)
XAN_EXCEPTION(EInvalidOp, EMathError)
XAN_EXCEPTION(EZeroDivide, EMathError)
XAN_EXCEPTION(EOverflow, EMathError)
XAN_EXCEPTION(EUnderflow, EMathError)
XAN_EXCEPTION(EVariantError, Exception)
XAN_EXCEPTION(EVariantTypeCastError, EVariantError)
XAN_EXCEPTION(EVariantInvalidOpError, EVariantError)
XAN_EXCEPTION(EVariantOverflowError, EVariantError)
XAN_EXCEPTION(EVariantInvalidArgError, EVariantError)
XAN_EXCEPTION(EVariantBadVarTypeError, EVariantError)
XAN_EXCEPTION(EVariantBadIndexError, EVariantError)
XAN_EXCEPTION(EVariantNotAnArrayError, EVariantError)
XAN_EXCEPTION(EVariantArrayCreateError, EVariantError)
XAN_EXCEPTION(EVariantArrayLockedError, EVariantError)

// An error with an operating-system or I/O error code.
class EOSError : public Exception {
    XAN_CLASS(EOSError, Exception)
    EOSError() = default;
    EOSError(UString message, std::int32_t code) : Exception(std::move(message)), ErrorCode(code) {}
    std::int32_t ErrorCode = 0;
};

class EInOutError : public Exception {
    XAN_CLASS(EInOutError, Exception)
    EInOutError() = default;
    EInOutError(UString message, std::int32_t code) : Exception(std::move(message)), ErrorCode(code) {}
    std::int32_t ErrorCode = 0;
};

}  // namespace xan::plat
