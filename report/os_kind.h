// The Windows version as the export needs it: whether the hotfix list can be had, and whether
// the shell captures ask for elevation.
#pragma once

namespace report {

enum OSKind : int {
  OS_WINDOWS_2000 = 0,
  OS_WINDOWS_SERVER_2003 = 1,
  OS_WINDOWS_XP = 2,
  OS_WINDOWS_VISTA = 3,
  OS_WINDOWS_SERVER_2008 = 4,  // R2 included
  OS_WINDOWS_7 = 5,
};

// 0 with the kind and the service pack's major number, or -1 for a version outside the table
// or a failed query. The first answer is kept for the rest of the run; a failed query is not.
int GetOSKind(int& kind, int& servicePackMajor);

// Forgets the kept answer, so that tests can classify another version.
void ForgetOSKindForTest();

}  // namespace report
