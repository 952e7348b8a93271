// Test main for every test binary: a headless QApplication, and no real
// message box can block a run.
#include <gtest/gtest.h>

#include <QApplication>

#include "framework/application.h"
#include "framework/message_box.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Application::SetTitle(QStringLiteral("Ovlix " OVLIX_VERSION));
  SetBoxPresenter([](BoxKind, const QString& caption, const QString& text) {
    ADD_FAILURE() << "unexpected message box: " << caption.toStdString() << ": " << text.toStdString();
  });
  return RUN_ALL_TESTS();
}
