// Records the programs the program would start, instead of starting them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/shell.h"

class LaunchRecorder {
 public:
  LaunchRecorder() {
    auto backend = std::make_unique<Backend>(started_);
    previous_ = platform::SetLauncher(std::move(backend));
  }
  ~LaunchRecorder() { platform::SetLauncher(std::move(previous_)); }
  const std::vector<std::vector<std::string>>& started() const { return started_; }

 private:
  class Backend : public platform::Launcher {
   public:
    explicit Backend(std::vector<std::vector<std::string>>& out) : out_(out) {}
    bool Start(const std::vector<std::string>& argv, const std::string&) override {
      out_.push_back(argv);
      return true;
    }

   private:
    std::vector<std::vector<std::string>>& out_;
  };
  std::vector<std::vector<std::string>> started_;
  std::unique_ptr<platform::Launcher> previous_;
};
