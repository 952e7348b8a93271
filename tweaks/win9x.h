// True on the Windows 95/98/ME family: GetVersionExA succeeds and reports
// platform id 1. This host reports the NT family.
#pragma once

bool IsWin9xFamily();
