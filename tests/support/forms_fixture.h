// The nine windows created as the program creates them, against a
// temporary platform root, and destroyed after the test.
#pragma once

#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "app/forms.h"
#include "app/program.h"
#include "framework/ini_file.h"
#include "tests/support/box_recorder.h"
#include "tests/support/temp_root.h"

class FormsTest : public ::testing::Test {
 protected:
  void TearDown() override { DestroyForms(); }

  void Settings(const std::string& text) { root.Write(root.windows() / "Trelmo.ini", text); }
  void UserHive(const std::string& text) { root.Write(root.hive("HKEY_CURRENT_USER.reg"), text); }

  TempRoot root;
  BoxRecorder boxes;
};
