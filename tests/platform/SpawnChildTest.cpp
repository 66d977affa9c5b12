#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "platform/SpawnChild.h"
#include "tests/platform/StandIn.h"
#include "tests/support/TempDir.h"

// A host's descriptor: not close-on-exec, and clear of the numbers the child is given.
static int hostDescriptor(int fd) {
  const int high = fcntl(fd, F_DUPFD, 30);
  close(fd);
  return high;
}

// Dialogs, alerts and the manual's viewer start with none of the host's open files, sockets or
// devices, with default signal handling whatever the host ignores, and with the system's
// library path: only what the options give them.
TEST(SpawnChild, TheProgramGetsOnlyWhatTheOptionsGiveIt) {
  TempDir temp;
  const int hostFile = hostDescriptor(open(temp.dir().c_str(), O_RDONLY)), hostStdin = dup(0);
  dup2(hostFile, 0);  // the host's standard input is not the program's either
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &previous);  // a host that ignores it for itself
  ScopedEnv libraryPath("LD_LIBRARY_PATH", "/opt/host/lib");
  // Reports what it got in one line (SIGTERM is bit 14 of the ignored set), then writes to its
  // standard output and its report descriptor.
  writeScript(
      temp.path() / "child",
      "null() { [ \"$(readlink /proc/$$/fd/$1)\" = /dev/null ] && echo null || echo other; }\n"
      "out=$(null 1)\n"
      "{ for fd in $2 $3; do [ -e /proc/$$/fd/$fd ] && printf 'leaked '; done\n"
      "  ignored=$(sed -n 's/^SigIgn:\\s*//p' /proc/$$/status)\n"
      "  [ $((0x$ignored >> 14 & 1)) = 1 ] && printf 'TERM-ignored '\n"
      "  [ \"$(cut -d' ' -f6 /proc/$$/stat)\" = $$ ] && session=own || session=host\n"
      "  echo \"${LD_LIBRARY_PATH-unset} in=$(null 0) out=$out err=$(null 2) session=$session\"\n"
      "} > \"$1\"\necho out; [ -e /proc/$$/fd/3 ] && echo report >&3\n");
  // An alert, a dialog and the manual opener's watcher; -2 stands for the pipe.
  const std::tuple<SpawnChildOptions, std::string, std::string> cases[] = {
      {{}, "", "in=null out=null err=other session=host"},
      {{.stdoutFd = -2, .quietStderr = true}, "out\n", "in=null out=other err=null session=host"},
      {{.newSession = true, .reportFd = -2}, "report\n", "in=null out=null err=other session=own"},
  };
  for (auto [options, piped, seen] : cases) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const int readEnd = hostDescriptor(ends[0]), writeEnd = hostDescriptor(ends[1]);
    options.stdoutFd = options.stdoutFd == -2 ? writeEnd : options.stdoutFd;
    options.reportFd = options.reportFd == -2 ? writeEnd : options.reportFd;
    pid_t child = 0;
    ASSERT_EQ(0, spawnChild({temp.dir() + "child", temp.dir() + "seen", std::to_string(hostFile),
                             std::to_string(readEnd)},
                            options, child));
    close(writeEnd);
    EXPECT_EQ(waitpid(child, nullptr, 0), child);
    char fromPipe[64] = {};
    EXPECT_GE(read(readEnd, fromPipe, sizeof fromPipe - 1), 0);
    close(readEnd);
    EXPECT_EQ(fromPipe, piped);
    EXPECT_EQ(slurp(temp.path() / "seen"), "unset " + seen + "\n");
  }
  sigaction(SIGTERM, &previous, nullptr);
  dup2(hostStdin, 0);
  close(hostStdin);
  close(hostFile);
}

// A name is looked for in every folder of PATH in turn; one with a "/" is taken as it is.
TEST(SpawnChild, ProgramsAreFoundInThePathsFoldersInTurn) {
  TempDir first, second;
  writeScript(second.path() / "tool", "exit 0\n");
  const std::string folders = first.path().string() + ":" + second.path().string() + ":/usr/bin";
  ScopedEnv path("PATH", folders.c_str());
  EXPECT_EQ(findProgram("tool"), second.path().string() + "/tool");
  EXPECT_EQ(findProgram("no-such-tool"), "");
  EXPECT_EQ(findProgram(second.dir() + "tool"), second.dir() + "tool");
  EXPECT_EQ(findProgram(first.dir() + "tool"), "");
}
