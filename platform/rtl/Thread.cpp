#include "platform/rtl/Thread.h"

#include "platform/core/Sync.h"
#include "platform/rtl/RtlErrors.h"

namespace xan::plat {

TThread::~TThread() {
    if (thread_.joinable()) {
        Terminate();
        thread_.join();
    }
}

void TThread::Start() {
    if (started_) Throw<EThread>(u"Cannot call Start on a running or finished thread");
    started_ = true;
    thread_ = std::thread(&TThread::Run, this);
}

Integer TThread::WaitFor() {
    if (FreeOnTerminate()) Throw<EThread>(u"Cannot wait for a thread that frees itself");
    if (!started_) Throw<EThread>(u"Cannot wait for a thread that was not started");
    if (thread_.get_id() == std::this_thread::get_id()) Throw<EThread>(u"A thread cannot wait for itself");
    if (thread_.joinable()) thread_.join();
    return returnValue_;
}

void TThread::Run(TThread* self) {
    self->threadId_.store(CurrentThreadId());
    self->fatal_ = CatchAll([self] { self->Execute(); });
    // A failing OnTerminate handler must not take the process down with it.
    std::unique_ptr<Exception> late = CatchAll([self] { self->OnTerminate.Fire(self); });
    if (!self->fatal_) self->fatal_ = std::move(late);
    if (self->FreeOnTerminate()) {
        self->thread_.detach();
        delete self;
        return;
    }
    self->finished_.store(true, std::memory_order_release);
}

}  // namespace xan::plat
