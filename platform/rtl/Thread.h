#pragma once
// TThread: a thread object whose work is the virtual Execute. Created idle; Start runs Execute
// on a new thread. Terminate only asks: Execute polls Terminated. A thread with FreeOnTerminate
// deletes itself when Execute has returned (set the flag before Start, and do not WaitFor such
// a thread). An exception escaping Execute ends the thread and is kept as FatalException.
//
// A thread object that does not free itself must outlive its thread: call WaitFor before
// deleting it (the destructor asks the thread to terminate and waits as a last resort, but by
// then a descendant's members are already gone).
#include <atomic>
#include <memory>
#include <thread>

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
    bool Terminated() const noexcept { return terminated_.load(std::memory_order_relaxed); }
    bool Started() const noexcept { return started_; }
    bool Finished() const noexcept { return finished_.load(std::memory_order_acquire); }
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

    std::thread thread_;
    bool started_ = false;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<std::uint32_t> threadId_{0};
    Integer returnValue_ = 0;
    std::unique_ptr<Exception> fatal_;
};

}  // namespace xan::plat
