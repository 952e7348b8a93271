// The portal hotkeys against a fake desktop portal on a private session bus
// (the test runs under dbus-run-session). The fake behaves as either of the
// two portals met in practice: one that takes the shortcuts from
// CreateSession and opens its settings on BindShortcuts (KDE's), and one
// that takes them only from BindShortcuts (GNOME's).
#include "platform/hotkeys_portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kElsewhere = QStringLiteral("/elsewhere");

using Shortcut = platform::PortalShortcut;

class FakePortal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
  Q_PROPERTY(uint version READ version)

 public:
  explicit FakePortal(QDBusConnection bus, bool takesFromCreateSession)
      : bus_(bus), takesFromCreateSession_(takesFromCreateSession) {}
  uint version() const { return 1; }
  QList<Shortcut> kept;  // what ListShortcuts shows
  int sessions = 0, lists = 0, binds = 0;
  QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/client/ovlix");

  QStringList Triggers() const {
    QStringList triggers;
    for (const Shortcut& s : kept) triggers << s.properties.value("preferred_trigger").toString();
    triggers.sort();
    return triggers;
  }
  void Press(const QString& trigger) {
    for (const Shortcut& s : kept)
      if (s.properties.value("preferred_trigger") == trigger) {
        QDBusMessage activated = QDBusMessage::createSignal(kPath, kInterface, "Activated");
        activated << QVariant::fromValue(QDBusObjectPath(session)) << s.id << qulonglong(0) << QVariantMap();
        bus_.send(activated);
      }
  }

 public slots:
  QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
    ++sessions;
    if (takesFromCreateSession_) options.value("shortcuts").value<QDBusArgument>() >> kept;
    return Answer(message, options, {{QStringLiteral("session_handle"), session}});
  }
  QDBusObjectPath ListShortcuts(const QDBusObjectPath& handle, const QVariantMap& options,
                                const QDBusMessage& message) {
    EXPECT_EQ(handle.path(), session);
    ++lists;  // asked once the session is there
    return Answer(message, options, {{QStringLiteral("shortcuts"), QVariant::fromValue(kept)}});
  }
  QDBusObjectPath BindShortcuts(const QDBusObjectPath& handle, const QList<platform::PortalShortcut>& shortcuts,
                                const QString&, const QVariantMap& options, const QDBusMessage& message) {
    ++binds;
    if (handle.path() == session) kept << shortcuts;
    return Answer(message, options, {});
  }

 private:
  QDBusObjectPath Answer(const QDBusMessage& message, const QVariantMap& options, const QVariantMap& results) {
    QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    QString path = kPath + "/request/" + sender + "/" + options.value("handle_token").toString();
    QTimer::singleShot(0, this, [this, path, results] {
      QDBusMessage response = QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
      response << 0u << results;
      bus_.send(response);
    });
    return QDBusObjectPath(path);
  }
  QDBusConnection bus_;
  bool takesFromCreateSession_;
};

// A portal of the desktop's own on a connection of its own, for a scope.
class PortalOnBus {
 public:
  explicit PortalOnBus(bool takesFromCreateSession, bool withShortcuts = true)
      : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-portal")),
        portal(bus_, takesFromCreateSession) {
    platform::RegisterPortalTypes();
    auto what = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties;
    EXPECT_TRUE(bus_.registerObject(withShortcuts ? kPath : kElsewhere, &portal, what));
    EXPECT_TRUE(bus_.registerService(kService));
  }
  ~PortalOnBus() {
    bus_.unregisterObject(kPath);
    bus_.unregisterObject(kElsewhere);
    bus_.unregisterService(kService);
    QDBusConnection::disconnectFromBus("fake-portal");
  }

 private:
  QDBusConnection bus_;

 public:
  FakePortal portal;
};

class PortalHotkeys : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session"; }
  std::unique_ptr<platform::HotkeyBackend> Keys() {
    return platform::MakePortalHotkeyBackend(QDBusConnection::sessionBus());
  }
  // The program's way: several keys one after another.
  void GrabTwo(platform::HotkeyBackend& keys) {
    EXPECT_TRUE(keys.Grab(platform::MOD_CONTROL, 'W', [&] { ++w; }));
    EXPECT_TRUE(keys.Grab(platform::MOD_CONTROL, 122, [&] { ++f11; }));
    EXPECT_FALSE(keys.Grab(platform::MOD_CONTROL, 'W', [] {}));  // taken already
  }
  int w = 0, f11 = 0;
};

TEST(PortalTriggers, InTheShortcutsNotation) {
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL, 'W'), "CTRL+w");
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL, 122), "CTRL+F11");
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL | platform::MOD_SHIFT, 'Q'), "CTRL+SHIFT+q");
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL, 0x2E), "");  // a key without a name
}

// KDE's portal: the shortcuts go with the session; binding them would open
// the desktop's settings at every start.
TEST_F(PortalHotkeys, APortalThatTakesThemFromTheSessionIsNeverAskedToBind) {
  PortalOnBus bus(true);
  auto keys = Keys();
  GrabTwo(*keys);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bus.portal.lists == 1; }, 5000));
  EXPECT_TRUE(keys->Offered());
  EXPECT_EQ(bus.portal.Triggers(), (QStringList{"CTRL+F11", "CTRL+w"}));
  bus.portal.Press("CTRL+w");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w == 1; }, 5000));
  EXPECT_EQ(f11, 0);
  EXPECT_EQ(bus.portal.sessions, 1);
  EXPECT_EQ(bus.portal.binds, 0);

  keys->Release(platform::MOD_CONTROL, 'W');
  bus.portal.Press("CTRL+w");
  // the bus delivers one sender's signals in order: once the later press of
  // a key still held has come, the released key's press would have too
  bus.portal.Press("CTRL+F11");
  ASSERT_TRUE(QTest::qWaitFor([&] { return f11 == 1; }, 5000));
  EXPECT_EQ(w, 1);
}

// GNOME's portal: the shortcuts are bound once, for those the desktop does
// not know yet.
TEST_F(PortalHotkeys, APortalThatWantsThemBoundGetsTheMissingOnes) {
  PortalOnBus bus(false);
  bus.portal.kept << Shortcut{"hotkey-2-87", {{"preferred_trigger", "CTRL+w"}}};  // known from an earlier run
  auto keys = Keys();
  GrabTwo(*keys);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bus.portal.binds == 1; }, 5000));
  EXPECT_EQ(bus.portal.Triggers(), (QStringList{"CTRL+F11", "CTRL+w"}));  // W not bound a second time
  bus.portal.Press("CTRL+F11");
  ASSERT_TRUE(QTest::qWaitFor([&] { return f11 == 1; }, 5000));
}

// A desktop that starts its portal after the programs of the log-in.
TEST_F(PortalHotkeys, APortalThatComesLaterGetsTheShortcuts) {
  auto keys = Keys();
  ASSERT_NE(keys, nullptr);
  GrabTwo(*keys);
  PortalOnBus bus(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bus.portal.lists == 1; }, 5000));
  EXPECT_EQ(bus.portal.Triggers().size(), 2);
  EXPECT_TRUE(keys->Offered());
  bus.portal.Press("CTRL+w");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w == 1; }, 5000));
}

// GNOME before 48: a portal, but no global shortcuts in it.
TEST_F(PortalHotkeys, APortalWithoutShortcutsOffersNone) {
  PortalOnBus bus(true, false);
  auto keys = Keys();
  GrabTwo(*keys);
  QCoreApplication::processEvents();  // the hand-over, which asks the portal
  // Asked after it on the same connection, this is answered after it, and
  // its answer is handled after the portal's.
  QDBusMessage get =
      QDBusMessage::createMethodCall(kService, kElsewhere, "org.freedesktop.DBus.Properties", QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  QDBusPendingCallWatcher later(QDBusConnection::sessionBus().asyncCall(get));
  bool answered = false;
  QObject::connect(&later, &QDBusPendingCallWatcher::finished, [&] { answered = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 5000));
  EXPECT_FALSE(keys->Offered());
  EXPECT_EQ(bus.portal.sessions, 0);
}

}  // namespace

#include "hotkeys_portal_test.moc"
