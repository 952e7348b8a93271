#include "platform/tray.h"

#include "platform/backend_slot.h"

namespace platform {
namespace {

class NoTray : public TrayBackend {
 public:
  bool Add(const NOTIFYICONDATAA&, std::function<void(UINT)>) override { return true; }
  bool Remove(const NOTIFYICONDATAA&) override { return true; }
  bool ShowsIcons() const override { return false; }
  bool SetMenu(const NOTIFYICONDATAA&, QMenu*) override { return false; }
};

constexpr auto& Backend = SlotWithDefault<TrayBackend, NoTray>;

}  // namespace

std::unique_ptr<TrayBackend> SetTrayBackend(std::unique_ptr<TrayBackend> backend) {
  return Backend().Replace(std::move(backend));
}

bool TrayShowsIcons() { return Backend()->ShowsIcons(); }
bool SetTrayMenu(const NOTIFYICONDATAA& data, QMenu* menu) { return Backend()->SetMenu(data, menu); }

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
  if (data == nullptr || data->cbSize != sizeof(NOTIFYICONDATAA)) return FALSE_;
  if (message == NIM_DELETE) return Backend()->Remove(*data) ? TRUE_ : FALSE_;
  if (message != NIM_ADD) return FALSE_;
  HWND window = static_cast<HWND>(data->hWnd);
  UINT callback = data->uCallbackMessage;
  UINT id = data->uID;
  bool withMessages = data->uFlags & NIF_MESSAGE;
  return Backend()->Add(*data,
                        [=](UINT mouse) {
                          if (withMessages) SendMessageA(window, callback, id, static_cast<LPARAM>(mouse));
                        })
             ? TRUE_
             : FALSE_;
}

}  // namespace platform
