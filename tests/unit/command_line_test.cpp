// The option pairs of the command line, and the help and version arguments.
#include "app/command_line.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

struct Parsed {
  CommandLineResult result;
  CommandLine options;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "qm26-ide-gen");
  Parsed parsed{CommandLineResult::kError, {}};
  parsed.result = ParseCommandLine(static_cast<int>(args.size()), args.data(), &parsed.options);
  return parsed;
}

TEST(CommandLineTest, ReadsPairsInAnyOrderAndLaterValueWins) {
  Parsed p = Parse({"-BSPPATH", "/bsp", "-MDKPATH", "a.uvprojx", "-TARGETNAME", "t1",
                    "-MDKTARGET", "Target 2", "-TEMPLATESPATH", "/t", "-TARGETNAME", "t2"});
  ASSERT_EQ(p.result, CommandLineResult::kRun);
  EXPECT_EQ(p.options.mdkPath, "a.uvprojx");
  EXPECT_EQ(p.options.targetName, "t2");
  EXPECT_EQ(p.options.templatesPath, "/t");
  EXPECT_EQ(p.options.bspPath, "/bsp");
  EXPECT_EQ(p.options.mdkTarget, "Target 2");
}

TEST(CommandLineTest, ValueIsTakenAsItStandsAndATrailingArgumentIsIgnored) {
  Parsed p = Parse({"-MDKPATH", "-odd", "-TARGETNAME", "", "extra"});
  ASSERT_EQ(p.result, CommandLineResult::kRun);
  EXPECT_EQ(p.options.mdkPath, "-odd");
  EXPECT_EQ(p.options.targetName, "");
}

TEST(CommandLineTest, RejectsTooFewArgumentsAndUnknownNames) {
  const std::vector<std::vector<const char*>> bad = {
      {},
      {"-MDKPATH"},
      {"-mdkpath", "a.uvprojx"},
      {"-MDKPATH=a.uvprojx", "x"},
      {"MDKPATH", "a.uvprojx"},
      {"-MDKPATH", "a.uvprojx", "-BSP", "/bsp"},
      {"--help", "x"},
  };
  for (const auto& args : bad) {
    EXPECT_EQ(Parse(args).result, CommandLineResult::kError) << args.size() << " arguments";
  }
}

TEST(CommandLineTest, HelpAndVersionOnlyAsTheSoleArgument) {
  EXPECT_EQ(Parse({"-h"}).result, CommandLineResult::kHelp);
  EXPECT_EQ(Parse({"--help"}).result, CommandLineResult::kHelp);
  EXPECT_EQ(Parse({"--version"}).result, CommandLineResult::kVersion);
  EXPECT_EQ(Parse({"-H"}).result, CommandLineResult::kError);
}

TEST(CommandLineTest, UsageNamesEveryOptionAndTheExitStatuses) {
  const std::string usage = UsageText();
  for (const char* word : {"-MDKPATH", "-MDKTARGET", "-TARGETNAME", "-TEMPLATESPATH", "-BSPPATH",
                           "255", "Example"}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
}

}  // namespace
