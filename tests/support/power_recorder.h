// Stands in for the power backend and records every request.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/power.h"

class PowerRecorder {
 public:
  using Request = std::pair<UINT, DWORD>;

  PowerRecorder() {
    auto backend = std::make_unique<Backend>(requests_);
    previous_ = platform::SetPowerBackend(std::move(backend));
  }
  ~PowerRecorder() { platform::SetPowerBackend(std::move(previous_)); }

  const std::vector<Request>& requests() const { return requests_; }

 private:
  class Backend : public platform::PowerBackend {
   public:
    explicit Backend(std::vector<Request>& out) : out_(out) {}
    void ExitWindows(UINT flags, DWORD reason) override { out_.emplace_back(flags, reason); }

   private:
    std::vector<Request>& out_;
  };

  std::vector<Request> requests_;
  std::unique_ptr<platform::PowerBackend> previous_;
};
