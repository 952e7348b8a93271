// Fake CD/DVD devices that record what is asked of them.
#pragma once

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/cdrom.h"

class FakeCdDevices : public platform::CdDevices {
 public:
  explicit FakeCdDevices(std::vector<std::string> devices) : devices_(std::move(devices)) {}

  std::vector<std::string> List() override { return devices_; }
  bool IsCd(const std::string& path) override {
    return std::find(devices_.begin(), devices_.end(), path) != devices_.end();
  }
  int Open(const std::string& path) override {
    log.push_back("open " + path);
    return failOpen ? -1 : 100;
  }
  int EjectTray(int) override {
    log.push_back("eject");
    return noMotor ? -1 : 0;
  }
  int CloseTray(int) override {
    log.push_back("close-tray");
    return noMotor ? -1 : 0;
  }
  void Close(int) override { log.push_back("close"); }

  std::vector<std::string> log;
  bool failOpen = false;
  bool noMotor = false;

 private:
  std::vector<std::string> devices_;
};

// Installs the fake for a scope; `fake` stays valid for it.
class FakeCdScope {
 public:
  explicit FakeCdScope(std::vector<std::string> devices) {
    auto owned = std::make_unique<FakeCdDevices>(std::move(devices));
    fake = owned.get();
    previous_ = platform::SetCdDevices(std::move(owned));
  }
  ~FakeCdScope() { platform::SetCdDevices(std::move(previous_)); }
  FakeCdDevices* fake;

 private:
  std::unique_ptr<platform::CdDevices> previous_;
};
