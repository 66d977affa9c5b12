#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "platform/XPlatDocumentOpener.h"
#include "tests/platform/StandIn.h"
#include "tests/support/TempDir.h"

namespace {

// Collects until nothing runs any more (at most two seconds); the failures seen.
int finish(XPlatDocumentOpener& opener) {
  int failures = 0;
  for (int i = 0; i < 200 && opener.isBusy(); ++i) {
    failures += opener.collectFailures();
    if (opener.isBusy()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(opener.isBusy());
  return failures;
}

class OpenerTest : public testing::Test {
 protected:
  TempDir temp;
  std::string document = temp.dir() + "My \"manual\" $(touch pwned); `id`.pdf";
  std::string program = temp.dir() + "opener";

  void SetUp() override {
    std::ofstream(document) << "%PDF";
    XPlatDocumentOpener::setProgram(program.c_str());
  }
  void TearDown() override { XPlatDocumentOpener::setProgram(nullptr); }
};

}  // namespace

TEST_F(OpenerTest, ExitStatusDecidesAndThePathArrivesAsOneArgument) {
  // The program set here wins over the environment's.
  ScopedEnv variable(XPlatDocumentOpener::kProgramVariable, "/opt/stand-in");
  const std::pair<const char*, int> table[] = {{"exit 0\n", 0},
                                               {"exit 1\n", 1},
                                               {"exit 4\n", 1},
                                               {"kill -9 $$\n", 1}};  // the last: no exit status
  for (const auto& [body, failures] : table) {
    writeScript(program, "printf '%s|' \"$@\" > '" + temp.dir() + "args'\n" + body);
    XPlatDocumentOpener opener;
    ASSERT_TRUE(opener.open(document));
    EXPECT_EQ(finish(opener), failures) << body;
    EXPECT_EQ(slurp(temp.path() / "args"), document + "|");
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "pwned")) << "no shell saw the path";
  }
  XPlatDocumentOpener opener;  // nothing starts for a folder, no path, or a missing program
  EXPECT_FALSE(opener.open(temp.dir()) || opener.open(""));
  XPlatDocumentOpener::setProgram((temp.dir() + "missing").c_str());
  EXPECT_NE(stderrOf([&] {
              EXPECT_FALSE(opener.open(document));
            }).find("could not find " + temp.dir() + "missing"),
            std::string::npos);
  EXPECT_FALSE(opener.isBusy());
  XPlatDocumentOpener::setProgram(nullptr);  // then the environment's, then the desktop's
  EXPECT_EQ(XPlatDocumentOpener::getProgram(), "/opt/stand-in");
  ScopedEnv unset(XPlatDocumentOpener::kProgramVariable, nullptr);
  EXPECT_EQ(XPlatDocumentOpener::getProgram(), "xdg-open");
}

// The viewer may outlive the instance that opened it (the user keeps reading). It must keep
// running, and once it ends it must be no zombie of the host's: nobody would collect it.
TEST_F(OpenerTest, AViewerThatOutlivesTheInstanceIsLeftNoZombieOfTheHost) {
  writeScript(program, "echo $$ > '" + temp.dir() + "pid.tmp'; mv '" + temp.dir() + "pid.tmp' '" +
                           temp.dir() + "pid'\n" + shellWaitForFile(temp.dir() + "closed"));
  {
    XPlatDocumentOpener opener;
    ASSERT_TRUE(opener.open(document));
    for (int i = 0; i < 500 && !std::filesystem::exists(temp.path() / "pid"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const pid_t viewer = std::stoi(slurp(temp.path() / "pid"));
  EXPECT_EQ(kill(viewer, 0), 0) << "the viewer still runs";
  std::ofstream(temp.path() / "closed") << "";
  // Ended: gone, or a zombie; then it must not be ours.
  auto stat = [viewer] { return slurp("/proc/" + std::to_string(viewer) + "/stat"); };
  for (int i = 0; i < 500 && !stat().empty() && stat().find(") Z ") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::string ended = stat();
  EXPECT_TRUE(ended.empty() || ended.find(") Z ") != std::string::npos)
      << "the viewer never ended: " << ended;
  EXPECT_EQ(ended.find(") Z " + std::to_string(getpid()) + " "), std::string::npos) << ended;
}
