// A run's claim on what outlives it: the owner of a run (the dialog, the console) can end the
// run at any moment, also while a worker abandoned by it is still busy, and from that moment
// on nothing of the run may be written any more. Whoever writes holds the claim for the short
// write; the owner closes it for good. Whichever comes second sees the other's mark.
#pragma once

#include <atomic>

namespace report {

class RunClaim {
 public:
  // Waits out another holder. False, for good, once the claim has been closed.
  bool Acquire();
  void Release();

  // From its return on the claim is never granted again: waits out a holder, letting the
  // synchronous messages of this thread's windows through meanwhile, since the holder may be
  // sending one.
  void Close();
  bool Closed() const { return gate_.load() == kClosed; }

  // Runs `write` while holding the claim. False, without running it, once the claim is closed.
  template <typename Write>
  bool RunWhileHeld(Write&& write) {
    if (!Acquire()) return false;
    // Released on every way out: a claim left held would keep its owner waiting for good.
    const Holding holding(*this);
    write();
    return true;
  }

 private:
  enum Gate : int { kFree = 0, kHeld = 1, kClosed = 2 };

  struct Holding {
    explicit Holding(RunClaim& claim) : claim(claim) {}
    ~Holding() { claim.Release(); }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;
    RunClaim& claim;
  };

  std::atomic<int> gate_{kFree};
};

}  // namespace report
