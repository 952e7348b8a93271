#include "platform/desktop_tools.h"

#include <optional>
#include <vector>

#include "platform/current_desktop.h"
#include "platform/profile.h"
#include "platform/spawn.h"

namespace platform {
namespace {

constexpr std::chrono::seconds kToolLimit{1};
constexpr const char* kMemorySection = "Plocha";

using Command = std::vector<std::string>;

void Run(const Command& command) { RunWithin(command, kToolLimit); }

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// How one desktop keeps one restriction: the calls that read, set and put
// back its value. A value remembered as "=<text>" was that text, "-" was
// not set at all (put back by removing it); an empty memory means there is
// nothing to put back.
class Restriction {
 public:
  virtual ~Restriction() = default;
  // The memory of the present value, or nothing when it cannot be read.
  virtual std::optional<std::string> Read() const = 0;
  virtual void Restrict() const = 0;
  virtual bool PutBack(const std::string& memory) const = 0;
};

class GsettingsKey : public Restriction {
 public:
  GsettingsKey(std::string schema, std::string key, std::string restricted)
      : schema_(std::move(schema)), key_(std::move(key)), restricted_(std::move(restricted)) {}
  std::optional<std::string> Read() const override {
    RunOutput got = ReadWithin({"gsettings", "get", schema_, key_}, kToolLimit);
    if (got.exitCode != 0) return std::nullopt;
    return "=" + WithoutLineEnd(got.output);
  }
  void Restrict() const override { Run({"gsettings", "set", schema_, key_, restricted_}); }
  bool PutBack(const std::string& memory) const override {
    return RunWithin({"gsettings", "set", schema_, key_, memory.substr(1)}, kToolLimit) == 0;
  }

 private:
  std::string schema_, key_, restricted_;
};

class XfconfProperty : public Restriction {
 public:
  XfconfProperty(std::string channel, std::string property, std::string type, std::string restricted)
      : channel_(std::move(channel)),
        property_(std::move(property)),
        type_(std::move(type)),
        restricted_(std::move(restricted)) {}
  std::optional<std::string> Read() const override {
    RunOutput got = ReadWithin({"xfconf-query", "-c", channel_, "-p", property_}, kToolLimit);
    if (got.exitCode == 1) return "-";  // a property never set
    if (got.exitCode != 0) return std::nullopt;
    return "=" + WithoutLineEnd(got.output);
  }
  void Restrict() const override { Run(Set(restricted_)); }
  bool PutBack(const std::string& memory) const override {
    if (memory.front() == '=') return RunWithin(Set(memory.substr(1)), kToolLimit) == 0;
    return RunWithin({"xfconf-query", "-c", channel_, "-p", property_, "-r"}, kToolLimit) == 0;
  }
  Command Set(const std::string& value) const {
    return {"xfconf-query", "-c", channel_, "-p", property_, "-n", "-t", type_, "-s", value};
  }

 private:
  std::string channel_, property_, type_, restricted_;
};

class KdeConfigKey : public Restriction {
 public:
  KdeConfigKey(std::string file, std::string group, std::string key, std::string restricted)
      : file_(std::move(file)), group_(std::move(group)), key_(std::move(key)), restricted_(std::move(restricted)) {}
  std::optional<std::string> Read() const override {
    RunOutput got = ReadWithin({"kreadconfig5", "--file", file_, "--group", group_, "--key", key_}, kToolLimit);
    if (got.exitCode != 0) return std::nullopt;
    std::string value = WithoutLineEnd(got.output);
    return value.empty() ? "-" : "=" + value;  // an empty answer: the key is not there
  }
  void Restrict() const override { Run(Write({restricted_})); }
  bool PutBack(const std::string& memory) const override {
    return RunWithin(Write({memory.front() == '=' ? memory.substr(1) : "--delete"}), kToolLimit) == 0;
  }
  Command Write(const std::string& last) const {
    return {"kwriteconfig5", "--file", file_, "--group", group_, "--key", key_, last};
  }

 private:
  std::string file_, group_, key_, restricted_;
};

const char* DesktopName(Desktop desktop) {
  switch (desktop) {
    case Desktop::Gnome: return "GNOME";
    case Desktop::Cinnamon: return "Cinnamon";
    case Desktop::Mate: return "MATE";
    case Desktop::Xfce: return "Xfce";
    case Desktop::Kde: return "KDE";
    case Desktop::Other: break;
  }
  return "";
}

std::unique_ptr<Restriction> DesktopIcons(Desktop desktop) {
  switch (desktop) {
    case Desktop::Cinnamon:
      return std::make_unique<GsettingsKey>("org.nemo.desktop", "desktop-layout", "'false::false'");
    case Desktop::Mate: return std::make_unique<GsettingsKey>("org.mate.background", "show-desktop-icons", "false");
    case Desktop::Xfce: return std::make_unique<XfconfProperty>("xfce4-desktop", "/desktop-icons/style", "int", "0");
    default: return nullptr;  // GNOME's desktop-icons extension has no such setting
  }
}

std::unique_ptr<Restriction> RunCommand(Desktop desktop) {
  switch (desktop) {
    case Desktop::Gnome:
      return std::make_unique<GsettingsKey>("org.gnome.desktop.lockdown", "disable-command-line", "true");
    case Desktop::Cinnamon:
      return std::make_unique<GsettingsKey>("org.cinnamon.desktop.lockdown", "disable-command-line", "true");
    case Desktop::Mate: return std::make_unique<GsettingsKey>("org.mate.lockdown", "disable-command-line", "true");
    case Desktop::Kde:
      return std::make_unique<KdeConfigKey>("kdeglobals", "KDE Action Restrictions", "run_command", "false");
    default: return nullptr;
  }
}

class DesktopTools : public DesktopSettingsBackend {
 public:
  explicit DesktopTools(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

  void ScreenSaverDelay(int seconds) override {
    if (seconds < 0) return;  // no desktop knows a negative delay
    std::string minutes = std::to_string(seconds / 60);
    switch (CurrentDesktop()) {
      case Desktop::Gnome:
        Run({"gsettings", "set", "org.gnome.desktop.session", "idle-delay", std::to_string(seconds)});
        break;
      case Desktop::Cinnamon:
        Run({"gsettings", "set", "org.cinnamon.desktop.session", "idle-delay", std::to_string(seconds)});
        break;
      case Desktop::Mate: Run({"gsettings", "set", "org.mate.session", "idle-delay", minutes}); break;
      case Desktop::Kde:
        Run({"kwriteconfig5", "--file", "kscreenlockerrc", "--group", "Daemon", "--key", "Timeout", minutes});
        break;
      default: break;
    }
  }

  void WindowContentsWhileDragging(bool shown) override {
    const char* outline = shown ? "false" : "true";
    switch (CurrentDesktop()) {
      case Desktop::Mate: Run({"gsettings", "set", "org.mate.Marco.general", "reduced-resources", outline}); break;
      case Desktop::Xfce:
        Run({"xfconf-query", "-c", "xfwm4", "-p", "/general/box_move", "-n", "-t", "bool", "-s", outline});
        break;
      default: break;
    }
  }

  void DesktopIconsHidden(bool hidden) override {
    Desktop desktop = CurrentDesktop();
    Apply(DesktopIcons(desktop).get(), std::string("NoDesktop ") + DesktopName(desktop), hidden);
  }

  void RunCommandHidden(bool hidden) override {
    Desktop desktop = CurrentDesktop();
    Apply(RunCommand(desktop).get(), std::string("NoRun ") + DesktopName(desktop), hidden);
  }

 private:
  void Apply(const Restriction* restriction, const std::string& memoryKey, bool on) {
    if (restriction == nullptr) return;
    std::string memory = GetPrivateProfileStringA(kMemorySection, memoryKey, "", 2048, settingsFile_);
    if (on) {
      if (memory.empty()) {  // a value put there by an earlier run is not the desktop's own
        std::optional<std::string> present = restriction->Read();
        if (!present || !WritePrivateProfileStringA(kMemorySection, memoryKey, *present, settingsFile_)) return;
      }
      restriction->Restrict();
    } else if (!memory.empty() && restriction->PutBack(memory)) {
      WritePrivateProfileStringA(kMemorySection, memoryKey, "", settingsFile_);
    }
  }

  std::string settingsFile_;
};

}  // namespace

std::unique_ptr<DesktopSettingsBackend> MakeDesktopToolsBackend(std::string settingsFile) {
  return std::make_unique<DesktopTools>(std::move(settingsFile));
}

}  // namespace platform
