// The portal hotkeys against a fake desktop portal on a private session bus
// (the test runs under dbus-run-session).
#include "platform/hotkeys_portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

using Shortcut = platform::PortalShortcut;

}  // namespace

namespace {

class FakePortal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
  Q_PROPERTY(uint version READ version)

 public:
  explicit FakePortal(QDBusConnection bus) : bus_(bus) {}
  uint version() const { return 1; }
  QList<Shortcut> bound;
  QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/client/ovlix");

 public slots:
  QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
    return Answer(message, options, {{QStringLiteral("session_handle"), session}});
  }
  QDBusObjectPath BindShortcuts(const QDBusObjectPath& handle, const QList<platform::PortalShortcut>& shortcuts,
                                const QString&, const QVariantMap& options, const QDBusMessage& message) {
    if (handle.path() == session) bound = shortcuts;
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
};

TEST(PortalHotkeys, Triggers) {
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL, 'W'), "CTRL+w");
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL, 122), "CTRL+F11");
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL | platform::MOD_SHIFT, 'Q'), "CTRL+SHIFT+q");
  EXPECT_EQ(platform::PortalTrigger(platform::MOD_CONTROL, 0x2E), "");  // a key without a name
}

TEST(PortalHotkeys, BoundThroughTheDesktopPortal) {
  ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
  EXPECT_EQ(platform::MakePortalHotkeyBackend(QDBusConnection::sessionBus()), nullptr);  // no portal yet

  platform::RegisterPortalTypes();
  QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-portal");
  FakePortal portal(desktop);
  ASSERT_TRUE(desktop.registerService(kService));
  ASSERT_TRUE(
      desktop.registerObject(kPath, &portal, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));

  auto keys = platform::MakePortalHotkeyBackend(QDBusConnection::sessionBus());
  ASSERT_NE(keys, nullptr);
  int w = 0, f11 = 0;
  EXPECT_TRUE(keys->Grab(platform::MOD_CONTROL, 'W', [&] { ++w; }));
  EXPECT_TRUE(keys->Grab(platform::MOD_CONTROL, 122, [&] { ++f11; }));
  EXPECT_FALSE(keys->Grab(platform::MOD_CONTROL, 'W', [] {}));  // taken already
  ASSERT_TRUE(QTest::qWaitFor([&] { return portal.bound.size() == 2; }, 5000));
  QStringList triggers;
  for (const Shortcut& s : portal.bound) triggers << s.properties.value("preferred_trigger").toString();
  triggers.sort();
  EXPECT_EQ(triggers, (QStringList{"CTRL+F11", "CTRL+w"}));

  auto press = [&](const QString& id) {
    QDBusMessage activated = QDBusMessage::createSignal(kPath, kInterface, "Activated");
    activated << QVariant::fromValue(QDBusObjectPath(portal.session)) << id << qulonglong(0) << QVariantMap();
    desktop.send(activated);
  };
  bool wFirst = portal.bound[0].properties.value("preferred_trigger") == "CTRL+w";
  QString wId = portal.bound[wFirst ? 0 : 1].id, f11Id = portal.bound[wFirst ? 1 : 0].id;
  press(wId);
  ASSERT_TRUE(QTest::qWaitFor([&] { return w == 1; }, 5000));
  EXPECT_EQ(f11, 0);
  keys->Release(platform::MOD_CONTROL, 'W');
  press(wId);
  // the bus delivers one sender's signals in order: once the later press of
  // a key still held has come, the released key's press would have too
  press(f11Id);
  ASSERT_TRUE(QTest::qWaitFor([&] { return f11 == 1; }, 5000));
  EXPECT_EQ(w, 1);
  desktop.unregisterService(kService);
}

}  // namespace

#include "hotkeys_portal_test.moc"
