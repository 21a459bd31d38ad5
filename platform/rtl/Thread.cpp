#include "platform/rtl/Thread.h"

#include <thread>

#include "platform/core/Sync.h"
#include "platform/rtl/RtlErrors.h"

namespace xan::plat {

TThread::~TThread() {
    if (!selfDeleting_) TerminateAndWait();
}

void TThread::TerminateAndWait() {
    if (!started_ || selfDeleting_) return;
    Terminate();
    WaitUntilFinished();
}

void TThread::Start() {
    if (started_) Throw<EThread>(u"Cannot call Start on a running or finished thread");
    started_ = true;
    std::thread(&TThread::Run, this).detach();
}

bool TThread::Finished() const noexcept {
    std::lock_guard guard(lock_);
    return finished_;
}

Integer TThread::WaitFor() {
    if (FreeOnTerminate()) Throw<EThread>(u"Cannot wait for a thread that frees itself");
    if (!started_) Throw<EThread>(u"Cannot wait for a thread that was not started");
    if (threadId_.load() == CurrentThreadId()) Throw<EThread>(u"A thread cannot wait for itself");
    WaitUntilFinished();
    return returnValue_;
}

void TThread::WaitUntilFinished() {
    std::unique_lock guard(lock_);
    done_.wait(guard, [this] { return finished_; });
}

void TThread::Run(TThread* self) {
    self->threadId_.store(CurrentThreadId());
    self->fatal_ = CatchAll([self] { self->Execute(); });
    // A failing OnTerminate handler must not take the process down with it.
    std::unique_ptr<Exception> late = CatchAll([self] { self->OnTerminate.Fire(self); });
    if (!self->fatal_) self->fatal_ = std::move(late);
    if (self->FreeOnTerminate()) {
        self->selfDeleting_ = true;
        delete self;
        return;
    }
    // Notified under the lock: a waiter may delete the object as soon as it sees the flag.
    std::lock_guard guard(self->lock_);
    self->finished_ = true;
    self->done_.notify_all();
}

}  // namespace xan::plat
