// The tweaks handed to the running desktop through its settings tools,
// against fake tools on PATH that record their arguments.
#include <signal.h>
#include <stdlib.h>

#include <QLineEdit>
#include <QTest>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/desktop_tools.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/registry_read.h"
#include "tweaks/PoliciesGroup.h"
#include "tweaks/ProgramFilesGroup.h"
#include "tweaks/ScreenSaverGroup.h"
#include "tweaks/WindowDragGroup.h"

namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : name_(name) {
    const char* value = ::getenv(name);
    if (value != nullptr) old_ = value;
  }
  ~SavedVariable() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class DesktopTools : public FormsTest {
 protected:
  void SetUp() override {
    tools = root.dir() / "tools";
    fs::create_directories(tools);
    ::setenv("PATH", tools.c_str(), 1);
    previous_ = platform::SetDesktopSettingsBackend(platform::MakeDesktopToolsBackend("Trelmo.ini"));
    CreateForms();
  }
  void TearDown() override {
    FormsTest::TearDown();
    platform::SetDesktopSettingsBackend(std::move(previous_));
  }

  // A tool that records its name and arguments, "|"-separated, one call a
  // line, prints `answer` and ends with `code`.
  void Fake(const std::string& name, const std::string& answer = {}, int code = 0) {
    root.Write(tools / (name + ".answer"), answer);
    Script(name, "cat \"$0.answer\"\nexit " + std::to_string(code) + "\n");
  }
  void Script(const std::string& name, const std::string& body) {
    fs::path file = tools / name;
    root.Write(file,
               "#!/bin/sh\nPATH=/usr/bin:/bin\n"
               "{ printf %s \"$(basename \"$0\")\"; for a in \"$@\"; do printf '|%s' \"$a\"; done; echo; } >> \"" +
                   (tools / "calls").string() + "\"\n" + body);
    fs::permissions(file, fs::perms::owner_all);
  }
  Calls Recorded() {
    Calls calls;
    std::ifstream in(tools / "calls");
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    fs::remove(tools / "calls");
    return calls;
  }
  void On(const char* desktop) { ::setenv("XDG_CURRENT_DESKTOP", desktop, 1); }
  std::string Memory(const std::string& key) { return TIniFile("Trelmo.ini").ReadString("Plocha", key, ""); }
  void Delay(int minutes) {
    Form1->screenSaver->SporicMinuty->SetValue(minutes);
    Form1->screenSaver->sButton14->click();
  }
  void Dragging(bool shown) {
    Form1->windowDrag->ObsahOkna->setChecked(shown);
    Form1->windowDrag->sButton19->click();
  }
  void Restrictions(bool icons, bool run) {
    Form1->policies->IkonyPlocha->setChecked(icons);
    Form1->policies->SpustitStart->setChecked(run);
    Form1->policies->sButton20->click();
  }

  fs::path tools;
  SavedVariable path_{"PATH"};
  SavedVariable desktop_{"XDG_CURRENT_DESKTOP"};

 private:
  std::unique_ptr<platform::DesktopSettingsBackend> previous_;
};

TEST_F(DesktopTools, TheScreenSaverDelayOnEachDesktop) {
  for (const char* tool : {"gsettings", "xfconf-query", "kwriteconfig5"}) Fake(tool);
  const std::pair<const char*, Calls> table[] = {
      {"ubuntu:GNOME", {"gsettings|set|org.gnome.desktop.session|idle-delay|1500"}},
      {"X-Cinnamon", {"gsettings|set|org.cinnamon.desktop.session|idle-delay|1500"}},
      {"mate", {"gsettings|set|org.mate.session|idle-delay|25"}},
      {"XFCE", {}},  // xfce4-screensaver is not part of the system
      {"KDE", {"kwriteconfig5|--file|kscreenlockerrc|--group|Daemon|--key|Timeout|25"}},
      {"", {}},
  };
  for (const auto& [desktop, calls] : table) {
    On(desktop);
    Delay(25);
    EXPECT_EQ(Recorded(), calls) << desktop;
  }
  On("GNOME");
  Delay(-1);  // written to the registry, but no desktop knows a negative delay
  EXPECT_EQ(Recorded(), Calls{});
  EXPECT_EQ(ReadValue(platform::RootKey::CurrentUser, "Control Panel\\Desktop", "ScreenSaveTimeOut"),
            platform::RegValue::String("-60"));
  EXPECT_EQ(boxes.texts().size(), 7u);
}

TEST_F(DesktopTools, WindowContentsWhileDraggingOnEachDesktop) {
  for (const char* tool : {"gsettings", "xfconf-query", "kwriteconfig5"}) Fake(tool);
  On("MATE");
  Dragging(true);
  Dragging(false);
  EXPECT_EQ(Recorded(), (Calls{"gsettings|set|org.mate.Marco.general|reduced-resources|false",
                               "gsettings|set|org.mate.Marco.general|reduced-resources|true"}));
  On("XFCE");
  Dragging(false);
  EXPECT_EQ(Recorded(), Calls{"xfconf-query|-c|xfwm4|-p|/general/box_move|-n|-t|bool|-s|true"});
  for (const char* desktop : {"GNOME", "X-Cinnamon", "KDE"}) {
    On(desktop);
    Dragging(false);
    EXPECT_EQ(Recorded(), Calls{}) << desktop;
  }
  EXPECT_EQ(boxes.texts().last(), "Vaše nastavení bylo přijato. Změny se projeví po restartu systému!");
}

struct RestrictionCase {
  const char* desktop;
  const char* tool;
  std::string answer;
  Calls hide, putBack;
};

TEST_F(DesktopTools, HiddenDesktopIconsComeBackAsTheyWere) {
  const RestrictionCase table[] = {
      {"X-Cinnamon",
       "gsettings",
       "'true::true'\n",
       {"gsettings|get|org.nemo.desktop|desktop-layout",
        "gsettings|set|org.nemo.desktop|desktop-layout|'false::false'"},
       {"gsettings|set|org.nemo.desktop|desktop-layout|'true::true'"}},
      {"MATE",
       "gsettings",
       "true\n",
       {"gsettings|get|org.mate.background|show-desktop-icons",
        "gsettings|set|org.mate.background|show-desktop-icons|false"},
       {"gsettings|set|org.mate.background|show-desktop-icons|true"}},
      {"XFCE",
       "xfconf-query",
       "1\n",
       {"xfconf-query|-c|xfce4-desktop|-p|/desktop-icons/style",
        "xfconf-query|-c|xfce4-desktop|-p|/desktop-icons/style|-n|-t|int|-s|0"},
       {"xfconf-query|-c|xfce4-desktop|-p|/desktop-icons/style|-n|-t|int|-s|1"}},
  };
  for (const auto& c : table) {
    Fake(c.tool, c.answer);
    On(c.desktop);
    Restrictions(true, false);
    EXPECT_EQ(Recorded(), c.hide) << c.desktop;
    Restrictions(true, false);  // already hidden: what the desktop had is still remembered
    EXPECT_EQ(Recorded(), Calls{c.hide.back()}) << c.desktop;
    Restrictions(false, false);
    EXPECT_EQ(Recorded(), c.putBack) << c.desktop;
    Restrictions(false, false);  // nothing left to put back
    EXPECT_EQ(Recorded(), Calls{}) << c.desktop;
  }
  for (const char* desktop : {"GNOME", "KDE"}) {  // no setting of their own
    Fake("gsettings", "true\n");
    Fake("kwriteconfig5");
    Fake("kreadconfig5", "true\n");
    On(desktop);
    Restrictions(true, false);
    EXPECT_EQ(Recorded(), Calls{}) << desktop;
  }
}

TEST_F(DesktopTools, AnUnsetXfceIconStyleIsResetOnRemoval) {
  Fake("xfconf-query", "", 1);  // "Property does not exist"
  On("XFCE");
  Restrictions(true, false);
  Fake("xfconf-query");
  Restrictions(false, false);
  EXPECT_EQ(Recorded(), (Calls{"xfconf-query|-c|xfce4-desktop|-p|/desktop-icons/style",
                               "xfconf-query|-c|xfce4-desktop|-p|/desktop-icons/style|-n|-t|int|-s|0",
                               "xfconf-query|-c|xfce4-desktop|-p|/desktop-icons/style|-r"}));
}

TEST_F(DesktopTools, TheHiddenRunCommandComesBackAsItWas) {
  const RestrictionCase table[] = {
      {"GNOME",
       "gsettings",
       "false\n",
       {"gsettings|get|org.gnome.desktop.lockdown|disable-command-line",
        "gsettings|set|org.gnome.desktop.lockdown|disable-command-line|true"},
       {"gsettings|set|org.gnome.desktop.lockdown|disable-command-line|false"}},
      {"X-Cinnamon",
       "gsettings",
       "false\n",
       {"gsettings|get|org.cinnamon.desktop.lockdown|disable-command-line",
        "gsettings|set|org.cinnamon.desktop.lockdown|disable-command-line|true"},
       {"gsettings|set|org.cinnamon.desktop.lockdown|disable-command-line|false"}},
      {"MATE",
       "gsettings",
       "true\n",  // restricted already by the user: it stays so
       {"gsettings|get|org.mate.lockdown|disable-command-line",
        "gsettings|set|org.mate.lockdown|disable-command-line|true"},
       {"gsettings|set|org.mate.lockdown|disable-command-line|true"}},
      {"KDE",
       "kreadconfig5",
       "true\n",
       {"kreadconfig5|--file|kdeglobals|--group|KDE Action Restrictions|--key|run_command",
        "kwriteconfig5|--file|kdeglobals|--group|KDE Action Restrictions|--key|run_command|false"},
       {"kwriteconfig5|--file|kdeglobals|--group|KDE Action Restrictions|--key|run_command|true"}},
      {"KDE",
       "kreadconfig5",
       "",  // not there before: removed again
       {"kreadconfig5|--file|kdeglobals|--group|KDE Action Restrictions|--key|run_command",
        "kwriteconfig5|--file|kdeglobals|--group|KDE Action Restrictions|--key|run_command|false"},
       {"kwriteconfig5|--file|kdeglobals|--group|KDE Action Restrictions|--key|run_command|--delete"}},
  };
  Fake("kwriteconfig5");
  for (const auto& c : table) {
    Fake(c.tool, c.answer);
    On(c.desktop);
    Restrictions(false, true);
    EXPECT_EQ(Recorded(), c.hide) << c.desktop;
    EXPECT_FALSE(Memory(std::string("NoRun ") + (c.desktop[0] == 'X' ? "Cinnamon" : c.desktop)).empty()) << c.desktop;
    Restrictions(false, false);
    EXPECT_EQ(Recorded(), c.putBack) << c.desktop;
  }
  Fake("xfconf-query");
  On("XFCE");
  Restrictions(false, true);
  EXPECT_EQ(Recorded(), Calls{});
}

TEST_F(DesktopTools, AMissingToolChangesNothing) {
  On("MATE");
  Restrictions(true, true);
  Delay(5);
  Dragging(true);
  EXPECT_EQ(Memory("NoDesktop MATE"), "");
  EXPECT_EQ(Memory("NoRun MATE"), "");
  EXPECT_EQ(boxes.texts().size(), 3u);
  Fake("gsettings", "true\n");
  Restrictions(false, false);  // nothing was remembered, so nothing is put back
  EXPECT_EQ(Recorded(), Calls{});
}

bool Gone(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  std::size_t end = line.rfind(')');
  return end != std::string::npos && line.substr(end + 2, 1) == "Z";  // dead, its parent not yet told
}

TEST_F(DesktopTools, AHungToolIsAbandonedAndKilled) {
  // It would end by itself after 30 seconds, leaving a mark; killed, it never does.
  fs::path pids = tools / "pids";
  fs::path finished = tools / "finished";
  Script("gsettings", "echo $$ >> " + pids.string() + "\nsleep 30 &\necho $! >> " + pids.string() + "\nwait\ntouch " +
                          finished.string() + "\n");
  On("GNOME");
  Delay(10);
  Restrictions(false, true);  // its reading hangs too: nothing is remembered, nothing hidden
  EXPECT_EQ(boxes.texts(),
            (QStringList{"Vaše nastavení bylo přijato.",
                         "Vaše nastavení bylo úspěšně provedeno. Změny se projeví až po restartu systému!"}));
  EXPECT_EQ(Recorded(), (Calls{"gsettings|set|org.gnome.desktop.session|idle-delay|600",
                               "gsettings|get|org.gnome.desktop.lockdown|disable-command-line"}));
  EXPECT_EQ(Memory("NoRun GNOME"), "");
  std::ifstream in(pids);
  std::vector<pid_t> started;
  for (pid_t pid; in >> pid;) started.push_back(pid);
  ASSERT_EQ(started.size(), 4u);
  // SIGKILL takes effect when the process next runs, which on a busy
  // machine may be a little after the handler returned
  for (pid_t pid : started) EXPECT_TRUE(QTest::qWaitFor([pid] { return Gone(pid); }, 5000)) << pid;
  EXPECT_FALSE(fs::exists(finished));
}

TEST_F(DesktopTools, TheProgramFilesFolderSaysItHasNoEffectHere) {
  Form1->programFiles->sButton21->click();
  EXPECT_EQ(boxes.texts().last(),
            "Tato funkce nastavuje složku, která bude uváděna místo C:\\Program Files v instalačních programech. "
            "Což zajístí o mnoho rychlejší nastavení adresáře, kam se má daný program nainstalovat. "
            "Na linuxové ploše se toto nastavení neprojeví: instalační programy pro Linux tuto složku nečtou.");
}

}  // namespace
