#include "actions/recycle_bin.h"

#include "framework/message_box.h"
#include "platform/library.h"
#include "platform/trash.h"

void EmptyRecycleBin() {
  HANDLE shell = platform::LoadLibraryA("Shell32.dll");
  if (shell == 0) {
    ShowBox(BoxKind::Error, QStringLiteral("Failed to load Shell32.dll."));
    return;
  }
  using EmptyFn = LONG (*)(const void*, const char*, DWORD);
  if (auto empty = reinterpret_cast<EmptyFn>(platform::GetProcAddress(shell, "SHEmptyRecycleBinA")))
    empty(nullptr, "", platform::SHERB_NOCONFIRMATION | platform::SHERB_NOPROGRESSUI | platform::SHERB_NOSOUND);
  platform::FreeLibrary(shell);
}
