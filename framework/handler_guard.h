// The boundary of every handler: an exception shows its message in the
// error box and ends the handler; nothing crosses Qt's event loop.
#pragma once

#include <QObject>
#include <exception>
#include <utility>

void ReportException(const std::exception& e);
void ReportUnknownException();

template <class F>
void Guard(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (const std::exception& e) {
    ReportException(e);
  } catch (...) {
    ReportUnknownException();
  }
}

// Connects `signal` of `sender` to the handler `member` of `window`,
// through the guard.
template <class Sender, class Signal, class Window>
void Bind(Sender* sender, Signal signal, Window* window, void (Window::*member)()) {
  QObject::connect(sender, signal, window, [window, member] { Guard([&] { (window->*member)(); }); });
}
