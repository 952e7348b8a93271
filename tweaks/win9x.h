// The features of the Windows 95/98/ME family: GetVersionExA (with the
// 148-byte record) reporting platform id 1. This host reports the NT family.
#pragma once

enum class PlatformFamily { Unknown, Win9x, Other };  // Unknown: the call failed

PlatformFamily CheckPlatformFamily();
// "Váš systém není Windows 95 nebo 98, ..." in a warning box.
void ShowWin9xOnlyWarning();
