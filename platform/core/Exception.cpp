#include "platform/core/Exception.h"

#include <new>

namespace xan::plat {

struct RaisedException::Box {
    Box(Exception* o, bool reraise) : object(o), isReraise(reraise) {}
    Box(const Box&) = delete;
    ~Box() { delete object; }
    Exception* object;
    bool isReraise;
    std::string what;  // UTF-8 text for std::exception::what(), made on demand
};

RaisedException::RaisedException(Exception* object, bool isReraise)
    : box_(std::make_shared<Box>(object, isReraise)) {}

Exception* RaisedException::Object() const noexcept { return box_->object; }
bool RaisedException::IsReraise() const noexcept { return box_->isReraise; }

const char* RaisedException::what() const noexcept {
    try {
        if (box_->what.empty() && box_->object) box_->what = box_->object->Message().ToUtf8();
    } catch (...) {
    }
    return box_->what.c_str();
}

void Raise(Exception* e) {
    if (!e) e = new Exception(u"Invalid exception object");
    throw RaisedException(e, false);
}

Exception* AcquireExceptionObject(const RaisedException& raised) noexcept {
    Exception* e = raised.box_->object;
    raised.box_->object = nullptr;
    return e;
}

void Reraise(Exception* acquired) { throw RaisedException(acquired, true); }

Exception* TranslateCurrentException() {
    try {
        throw;
    } catch (const RaisedException& r) {
        if (Exception* e = AcquireExceptionObject(r)) return e;
        return new Exception(u"Exception object already released");
    } catch (const std::bad_alloc&) {
        return new EOutOfMemory(u"Out of memory");
    } catch (const std::exception& e) {
        return new Exception(UString::FromUtf8(e.what()));
    } catch (...) {
        return new EExternal(u"External exception");
    }
}

}  // namespace xan::plat
