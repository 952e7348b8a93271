#include "platform/gnu_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const platform::ProgramText kProgram{"ovlix-test", "1.2.3", "2026", "Použití: ovlix-test [SOUBOR]\n"};

struct Answer {
  int status;
  std::string text;
};

Answer Ask(std::vector<std::string> args) {
  args.insert(args.begin(), "ovlix-test");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  int status = platform::AnswerHelpOrVersion(static_cast<int>(argv.size()), argv.data(), kProgram, out);
  std::fclose(out);
  Answer answer{status, std::string(buffer, size)};
  std::free(buffer);
  return answer;
}

TEST(GnuOptions, HelpAndVersionAreAnsweredOnStandardOutputWithStatusZero) {
  Answer help = Ask({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.text.rfind("Použití: ovlix-test [SOUBOR]\n", 0), 0u) << help.text;
  EXPECT_NE(help.text.find("man ovlix-test\n"), std::string::npos) << help.text;
  Answer version = Ask({"--version", "ignored"});
  EXPECT_EQ(version.status, 0);
  // GNU's form: "NAME (PACKAGE) VERSION" first, then copyright and licence
  EXPECT_EQ(version.text.rfind("ovlix-test (Ovlix) 1.2.3\nCopyright (C) 2026 The Ovlix developers\n", 0), 0u)
      << version.text;
  EXPECT_NE(version.text.find("GPLv3+"), std::string::npos);
}

TEST(GnuOptions, EveryOtherCommandLineIsLeftToTheProgram) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"lock", "--help"}, {"-h"}, {"--versions"}, {"file.exe"}}) {
    Answer answer = Ask(args);
    EXPECT_EQ(answer.status, -1) << testing::PrintToString(args);
    EXPECT_EQ(answer.text, "");
  }
}

TEST(GnuOptions, AFailedWriteIsAnError) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  std::string arg0 = "ovlix-test", arg1 = "--version";
  char* argv[] = {arg0.data(), arg1.data()};
  EXPECT_EQ(platform::AnswerHelpOrVersion(2, argv, kProgram, full), 1);
  std::fclose(full);
}

}  // namespace
