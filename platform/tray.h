// Shell_NotifyIconA: one icon a window in the desktop's notification area.
// Clicks come back as the icon's callback message, sent to its window with
// the mouse message in lParam: a left click gives WM_LBUTTONUP, a double
// click a second WM_LBUTTONUP, a right click WM_RBUTTONUP.
//
// The desktop's tray is a backend (tray_qt.h in the program); without one,
// icons are accepted and shown nowhere.
#pragma once

#include <memory>

#include "platform/window_messages.h"

class QMenu;

namespace platform {

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 1;
constexpr UINT NIF_ICON = 2;
constexpr UINT NIF_TIP = 4;

// The first, 88-byte layout of the platform's record.
struct NOTIFYICONDATAA {
  DWORD cbSize = 0;
  std::uint32_t hWnd = 0;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  std::uint32_t hIcon = 0;
  char szTip[64] = {};
};
static_assert(sizeof(NOTIFYICONDATAA) == 88);

class TrayBackend {
 public:
  virtual ~TrayBackend() = default;
  // Shows the icon; clicks are reported through `click` as mouse messages.
  virtual bool Add(const NOTIFYICONDATAA& data, std::function<void(UINT mouseMessage)> click) = 0;
  virtual bool Remove(const NOTIFYICONDATAA& data) = 0;
  // Whether a tray shows the icons now (a StatusNotifierItem host, an
  // XEmbed tray): where none does, an icon is no way back to a window.
  virtual bool ShowsIcons() const = 0;
  // Hands the icon's menu to the tray, which then opens it at the icon
  // itself (as its own menu, where it speaks D-Bus); a right click then
  // brings no WM_RBUTTONUP. False where the tray cannot take menus.
  virtual bool SetMenu(const NOTIFYICONDATAA& data, QMenu* menu) = 0;
};

std::unique_ptr<TrayBackend> SetTrayBackend(std::unique_ptr<TrayBackend> backend);

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data);
bool TrayShowsIcons();
bool SetTrayMenu(const NOTIFYICONDATAA& data, QMenu* menu);

}  // namespace platform
