#include "report/run_claim.h"

#include "platform/thread.h"

namespace report {

bool RunClaim::Acquire() {
  for (;;) {
    int expected = kFree;
    if (gate_.compare_exchange_strong(expected, kHeld)) return true;
    if (expected == kClosed) return false;
    platform::LetSentMessagesThrough();
  }
}

void RunClaim::Release() { gate_.store(kFree); }

void RunClaim::Close() {
  for (;;) {
    int expected = kFree;
    if (gate_.compare_exchange_strong(expected, kClosed)) return;
    if (expected == kClosed) return;
    platform::LetSentMessagesThrough();
  }
}

}  // namespace report
