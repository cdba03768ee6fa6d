// What a check or a repair answers. A check: normal, abnormal, or could not be made. A
// repair: done (or nothing to do), failed, or could not start.
#pragma once

namespace checks {

enum TaskResult : int {
  RESULT_NORMAL = 0,    // a check found its item normal; a repair is done
  RESULT_ABNORMAL = 1,  // a check found its item abnormal; a repair failed
  RESULT_FAILED = -1,   // the item could not be checked or repaired at all
  // A check whose item another check's finding explains (the VPN client is not installed, so
  // its adapter is not looked at): its row is not shown, and it has nothing to repair.
  RESULT_NOT_SHOWN = 2,
};

}  // namespace checks
