// Waiting on another thread in a test: a bounded spin, so that a hang fails the test rather
// than stalling the run.
#pragma once

#include <thread>

template <typename Pred>
bool Eventually(Pred done) {
  for (int i = 0; i < 2000000; ++i) {
    if (done()) return true;
    std::this_thread::yield();
  }
  return done();
}
