#pragma once
// Runs `work` between target.BeginUpdate() and target.EndUpdate(), closing the bracket on the
// way out also when the work raises. (A scope guard would have to call EndUpdate, which fires
// change events that may raise, from a destructor.)
namespace xan::plat {

template <class Target, class Work>
void WithinUpdate(Target& target, Work&& work) {
    target.BeginUpdate();
    try {
        work();
    } catch (...) {
        target.EndUpdate();
        throw;
    }
    target.EndUpdate();
}

}  // namespace xan::plat
