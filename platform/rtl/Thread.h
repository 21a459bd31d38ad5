#pragma once
// TThread: a thread object whose work is the virtual Execute. Created idle; Start runs Execute
// on a new thread. Terminate only asks: Execute polls Terminated. A thread with FreeOnTerminate
// deletes itself when Execute has returned (set the flag before Start, and do not WaitFor such
// a thread). An exception escaping Execute ends the thread and is kept as FatalException.
//
// A thread object that does not free itself must outlive its thread. Deleting one whose thread
// may still run is safe only when the most derived destructor first calls TerminateAndWait: by
// the time the base destructor runs, Execute's class is gone. (The base destructor still waits,
// as a last resort for an Execute that is already past its last use of the descendant.)
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/core/Exception.h"
#include "platform/core/Types.h"
#include "platform/rtl/Strings.h"

namespace xan::plat {

class TThread : public TObject {
    XAN_CLASS(TThread, TObject)
    TThread() = default;
    ~TThread() override;

    // EThread "Cannot call Start on a running or finished thread" when started before.
    void Start();
    // Waits until Execute has returned; answers ReturnValue. EThread for a thread that frees
    // itself or that was never started.
    Integer WaitFor();
    void Terminate() noexcept { terminated_.store(true, std::memory_order_relaxed); }
    // Terminate, then wait until Execute has returned; nothing for a thread never started.
    void TerminateAndWait();
    bool Terminated() const noexcept { return terminated_.load(std::memory_order_relaxed); }
    bool Started() const noexcept { return started_; }
    bool Finished() const noexcept;
    bool FreeOnTerminate() const noexcept { return freeOnTerminate_.load(); }
    void SetFreeOnTerminate(bool value) noexcept { freeOnTerminate_.store(value); }
    std::uint32_t ThreadID() const noexcept { return threadId_.load(); }
    Integer ReturnValue() const noexcept { return returnValue_; }
    // The exception that ended Execute, owned by the thread object; null when none.
    const Exception* FatalException() const noexcept { return fatal_.get(); }

    // Fired on the thread itself after Execute, before a FreeOnTerminate thread deletes itself.
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    void SetReturnValue(Integer value) noexcept { returnValue_ = value; }

private:
    static void Run(TThread* self);
    void WaitUntilFinished();

    // The OS thread runs detached: a thread that frees itself must not touch a handle its
    // creator may still be writing, so completion is signalled through finished_ instead.
    mutable std::mutex lock_;
    std::condition_variable done_;
    bool finished_ = false;
    bool started_ = false;
    bool selfDeleting_ = false;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<std::uint32_t> threadId_{0};
    Integer returnValue_ = 0;
    std::unique_ptr<Exception> fatal_;
};

}  // namespace xan::plat
