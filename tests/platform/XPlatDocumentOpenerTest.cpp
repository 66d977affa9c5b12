#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/XPlatDocumentOpener.h"
#include "tests/support/TempDir.h"

namespace {

void writeScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  chmod(path.c_str(), 0755);
}

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

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

struct ProgramReset {
  ~ProgramReset() { XPlatDocumentOpener::setProgram(nullptr); }
};

class OpenerTest : public testing::Test {
 protected:
  TempDir temp;
  ProgramReset reset;
  std::string document = temp.dir() + "My \"manual\" $(touch pwned); `id`.pdf";
  std::string program = temp.dir() + "opener";

  void SetUp() override { std::ofstream(document) << "%PDF"; }
};

}  // namespace

TEST_F(OpenerTest, ExitStatusDecidesAndThePathArrivesAsOneArgument) {
  const struct {
    const char* body;
    int failures;
  } table[] = {
      {"exit 0\n", 0},
      {"exit 1\n", 1},
      {"exit 4\n", 1},
      {"kill -9 $$\n", 1},  // died without an exit status
  };
  ScopedEnv libraryPath("LD_LIBRARY_PATH", "/opt/host/lib");
  XPlatDocumentOpener::setProgram(program.c_str());
  for (const auto& row : table) {
    SCOPED_TRACE(row.body);
    writeScript(program, "printf '%s|' \"$@\" > '" + temp.dir() + "args'\n" +
                             "printf '%s' \"${LD_LIBRARY_PATH-unset}\" > '" + temp.dir() +
                             "env'\n" + row.body);
    XPlatDocumentOpener opener;
    ASSERT_TRUE(opener.open(document));
    EXPECT_EQ(finish(opener), row.failures);
    EXPECT_EQ(slurp(temp.path() / "args"), document + "|");
    EXPECT_EQ(slurp(temp.path() / "env"), "unset");
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "pwned")) << "no shell saw the path";
  }
}

TEST_F(OpenerTest, NothingStartsForAMissingDocumentOrProgram) {
  XPlatDocumentOpener::setProgram("/bin/true");
  XPlatDocumentOpener opener;
  EXPECT_FALSE(opener.open(temp.dir()));  // a folder is no document
  EXPECT_FALSE(opener.open(""));
  XPlatDocumentOpener::setProgram((temp.dir() + "no-such-program").c_str());
  EXPECT_FALSE(opener.open(document));
  EXPECT_FALSE(opener.isBusy());
}

TEST_F(OpenerTest, TheViewerInheritsNoOpenFilesOrIgnoredSignalsOfTheHost) {
  const int hostFile = open(document.c_str(), O_RDONLY);  // not close-on-exec
  ASSERT_GE(hostFile, 3);
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &previous);  // a host that ignores it for itself
  writeScript(program, "[ -e /proc/self/fd/" + std::to_string(hostFile) + " ] && exit 3\n" +
                           "ignored=$(sed -n 's/^SigIgn:\\s*//p' /proc/$$/status)\n" +
                           "[ $((0x$ignored >> (" + std::to_string(SIGTERM - 1) +
                           ") & 1)) -eq 0 ] || exit 4\n");
  XPlatDocumentOpener::setProgram(program.c_str());
  XPlatDocumentOpener opener;
  ASSERT_TRUE(opener.open(document));
  sigaction(SIGTERM, &previous, nullptr);
  EXPECT_EQ(finish(opener), 0);
  close(hostFile);
}

// The viewer may outlive the instance that opened it (the user keeps reading). It must keep
// running, and once it ends it must be no zombie of the host's: nobody would collect it.
TEST_F(OpenerTest, AViewerThatOutlivesTheInstanceIsLeftNoZombieOfTheHost) {
  writeScript(program, "echo $$ > '" + temp.dir() + "pid.tmp'; mv '" + temp.dir() + "pid.tmp' '" +
                           temp.dir() + "pid'\n" + shellWaitForFile(temp.dir() + "closed"));
  XPlatDocumentOpener::setProgram(program.c_str());
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
  if (!ended.empty()) {
    ASSERT_NE(ended.find(") Z "), std::string::npos) << "the viewer never ended: " << ended;
    EXPECT_EQ(ended.find(") Z " + std::to_string(getpid()) + " "), std::string::npos) << ended;
  }
}

TEST_F(OpenerTest, ProgramComesFromTheSetterThenTheEnvironmentThenXdgOpen) {
  {
    ScopedEnv unset(XPlatDocumentOpener::kProgramVariable, nullptr);
    EXPECT_EQ(XPlatDocumentOpener::getProgram(), "xdg-open");
  }
  ScopedEnv variable(XPlatDocumentOpener::kProgramVariable, "/opt/stand-in");
  EXPECT_EQ(XPlatDocumentOpener::getProgram(), "/opt/stand-in");
  XPlatDocumentOpener::setProgram("/usr/local/bin/opener");
  EXPECT_EQ(XPlatDocumentOpener::getProgram(), "/usr/local/bin/opener");
}
