#include "platform/os_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <string>

#include "fault_loop.h"
#include "platform/exception.h"
#include "platform/temp_files.h"
#include "test_util.h"

namespace {

using platform::OsFile;
namespace faults = platform::faults;

std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    return e.message();
  }
  return "(nothing raised)";
}

void replace(const std::string& target, const std::string& bytes) {
  OsFile file;
  file.openReplacement(target);
  if (file.write(bytes.data(), bytes.size()) != bytes.size()) throw EInOutError("short write");
  file.commitReplacement();
}

// The kind of a path and, for devices, which one: what must not change.
std::pair<mode_t, dev_t> kindOf(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return {0, 0};
  return {st.st_mode & S_IFMT, st.st_rdev};
}

class OsFileTest : public testing::Test {
 protected:
  void TearDown() override { faults::reset(); }
  testutil::TempDir dir;
};

TEST_F(OsFileTest, SpecialFilesAreRefusedAndLeftAsTheyAre) {
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  ASSERT_EQ(symlink(("/proc/self/fd/" + std::to_string(pipeFds[1])).c_str(), dir.file("to-pipe").c_str()), 0);
  ASSERT_EQ(symlink("fifo", dir.file("to-fifo").c_str()), 0);
  const std::vector<std::string> entries = dir.entries();
  for (const std::string& path : {std::string("/dev/full"), std::string("/dev/null"), dir.file("fifo"),
                                  dir.file("sub"), dir.file("to-pipe"), dir.file("to-fifo")}) {
    const auto before = kindOf(path);
    const std::string refused = "'" + path + "' is not a regular file.";
    EXPECT_EQ(messageOf([&] { OsFile().openReplacement(path); }), refused);
    EXPECT_EQ(messageOf([&] { OsFile().openTruncate(path); }), refused);
    EXPECT_EQ(messageOf([&] { platform::requireRegularFile(path); }), refused);
    EXPECT_EQ(kindOf(path), before) << path;
    if (path == dir.file("sub")) continue;
    // Opened for reading or appending, none blocks and none is taken.
    EXPECT_EQ(messageOf([&] { OsFile().openRead(path); }), refused);
    EXPECT_EQ(messageOf([&] { OsFile().openAppend(path); }), refused);
  }
  EXPECT_EQ(dir.entries(), entries);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

TEST_F(OsFileTest, LinkIsFollowedAndStays) {
  testutil::TempDir other;
  testutil::writeFile(other.file("real"), "old");
  ASSERT_EQ(symlink(other.file("real").c_str(), dir.file("link").c_str()), 0);
  ASSERT_EQ(symlink("link", dir.file("link2").c_str()), 0);
  for (bool named : {false, true}) {
    faults::withoutUnnamedFiles(named);
    replace(dir.file("link2"), named ? "named" : "unnamed");
    EXPECT_EQ(testutil::readFile(other.file("real")), named ? "named" : "unnamed");
    EXPECT_EQ(kindOf(dir.file("link")).first, S_IFLNK);
    EXPECT_EQ(kindOf(dir.file("link2")).first, S_IFLNK);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"link", "link2"}));
    EXPECT_EQ(other.entries(), std::vector<std::string>{"real"});
  }
}

TEST_F(OsFileTest, ReplacedFileKeepsModeAndOwner) {
  const std::string path = dir.file("db");
  testutil::writeFile(path, "old");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  }
  replace(path, "new");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
}

TEST_F(OsFileTest, TemporaryNameDoesNotDependOnTheTargetsLength) {
  for (size_t length : {249u, 255u}) {
    const std::string path = dir.file(std::string(length, 'n'));
    for (bool named : {false, true}) {
      faults::withoutUnnamedFiles(named);
      replace(path, "first");
      replace(path, "second");
      EXPECT_EQ(testutil::readFile(path), "second");
      EXPECT_EQ(dir.entries(), std::vector<std::string>{std::string(length, 'n')});
    }
    unlink(path.c_str());
  }
}

TEST_F(OsFileTest, ReadOnlyMeansThisUserMayNotWrite) {
  const std::string own = dir.file("own"), shared = dir.file("shared"), bare = dir.file("bare");
  for (const auto& [path, mode] : {std::pair{own, 0644}, std::pair{shared, 0666}, std::pair{bare, 0444}}) {
    testutil::writeFile(path, "x");
    ASSERT_EQ(chmod(path.c_str(), static_cast<mode_t>(mode)), 0);
  }
  EXPECT_FALSE(platform::isReadOnlyFile(own));
  EXPECT_FALSE(platform::isReadOnlyFile(dir.file("missing")));
  EXPECT_TRUE(platform::isReadOnlyFile(bare));  // for root too
  if (geteuid() != 0) GTEST_SKIP() << "the other user's view needs root";
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  EXPECT_TRUE(testutil::asNobody([&] {
    return platform::isReadOnlyFile(own) && !platform::isReadOnlyFile(shared) &&
           platform::isReadOnlyFile(bare);
  }));
}

TEST_F(OsFileTest, NothingIsLostUnderFaults) {
  const std::string path = dir.file("target");
  testutil::expectOldOrNewUnderFaults(
      dir, path, [&] { testutil::writeFile(path, "old"); }, [&] { replace(path, "new contents"); });
}

// A child begins replacing `target` and is ended by `signal` midway.
int killedWhileWriting(const std::string& target, int signal, bool named) {
  pid_t pid = fork();
  if (pid == 0) {
    platform::platformStartUp();
    faults::withoutUnnamedFiles(named);
    OsFile file;
    file.openReplacement(target);
    file.write("partial", 7);
    kill(getpid(), signal);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST_F(OsFileTest, SignalsLeaveNoTemporaryFileAndKeepTheirExitStatus) {
  const std::string path = dir.file("out");
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGKILL}) {
    for (bool named : {false, true}) {
      // Nothing can act on SIGKILL; only an unnamed file is then gone with the process.
      if (signal == SIGKILL && named) continue;
      testutil::writeFile(path, "old");
      EXPECT_EQ(killedWhileWriting(path, signal, named), signal) << signal << (named ? " named" : "");
      EXPECT_EQ(testutil::readFile(path), "old");
      EXPECT_EQ(dir.entries(), std::vector<std::string>{"out"}) << signal << (named ? " named" : "");
    }
  }
}

TEST_F(OsFileTest, ForkedChildDoesNotRemoveItsParentsFile) {
  platform::platformStartUp();
  faults::withoutUnnamedFiles(true);
  const std::string path = dir.file("out");
  OsFile file;
  file.openReplacement(path);
  ASSERT_EQ(dir.entries().size(), 1u);
  pid_t pid = fork();
  if (pid == 0) {
    raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(dir.entries().size(), 1u);
  file.write("new", 3);
  file.commitReplacement();
  EXPECT_EQ(testutil::readFile(path), "new");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out"});
}

}  // namespace
