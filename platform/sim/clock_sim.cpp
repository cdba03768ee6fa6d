// The time of day on the simulated workstation: the test's fixed time.
#include "platform/clock.h"

#include "platform/sim/workstation.h"

namespace platform {

LocalTime GetLocalTimeNow() {
  (void)sim::EnterCall("GetLocalTime", "", 0);  // it cannot fail
  return sim::Workstation::Current().LocalTimeNow();
}

}  // namespace platform
