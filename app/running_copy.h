// The one running copy can always be found: it listens on a socket beside
// its lock, and a second start hands it what it was started for (bring the
// window forward, open a file in the resource explorer) and ends, instead
// of ending unseen while the first copy sits hidden where no tray shows it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

struct StartRequest {
  QString file;             // absolute; empty: none named
  QString activationToken;  // the launcher's XDG_ACTIVATION_TOKEN (Wayland)
  bool operator==(const StartRequest&) const = default;
};

// What this start asks for: the first command-line argument and the
// launcher's activation token.
StartRequest RequestOfThisStart();

// In a second copy: hands `request` to the running copy; true once that
// copy has taken it, false when none answered within a second or two.
bool HandToRunningCopy(const StartRequest& request);

// In the running copy: takes the requests of later starts, one at a time,
// each from the event loop.
class TRunningCopy : public QObject {
  Q_OBJECT
 public:
  explicit TRunningCopy(std::function<void(const StartRequest&)> onRequest);
  ~TRunningCopy() override;
  bool Listening() const;

 private:
  void Accept();
  std::function<void(const StartRequest&)> onRequest_;
  std::unique_ptr<QLocalServer> server_;
};
