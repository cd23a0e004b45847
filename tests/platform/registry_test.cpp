#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "fault_loop.h"
#include "platform/os_file.h"
#include "test_util.h"

namespace fs = std::filesystem;
using platform::Registry;

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\n\n";
constexpr char kConfigKey[] = "Software\\Tarquo\\Vosko\\test";

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// "(Class) message" of the ERegistryException f raises.
template <typename F>
std::string failureOf(F&& f) {
  try {
    f();
  } catch (const ERegistryException& e) {
    return std::string("(") + e.className() + ") " + e.message();
  }
  return "no failure";
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vosko-registry-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    dir_ = root_ + "/config/vosko";
    file_ = dir_ + "/registry.reg";
    env_.emplace("VOSKO_REGISTRY", file_.c_str());
  }
  void TearDown() override {
    platform::faults::reset();
    env_.reset();
    fs::remove_all(root_);
  }

  std::string fileText() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void writeFile(const std::string& text) const {
    fs::create_directories(dir_);
    std::ofstream(file_, std::ios::binary) << text;
  }
  std::set<std::string> filesInDir() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename());
    return names;
  }
  ino_t inode() const {
    struct stat st {};
    return stat(file_.c_str(), &st) == 0 ? st.st_ino : 0;
  }

  std::string root_, dir_, file_;
  std::optional<ScopedEnv> env_;
};

TEST(RegistryFilePath, FollowsTheEnvironment) {
  ScopedEnv own("VOSKO_REGISTRY", "/x/own.reg");
  ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg/");
  ScopedEnv home("HOME", "/home/u");
  EXPECT_EQ(platform::registryFilePath(), "/x/own.reg");
  unsetenv("VOSKO_REGISTRY");
  EXPECT_EQ(platform::registryFilePath(), "/cfg/vosko/registry.reg");
  setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: to be ignored
  EXPECT_EQ(platform::registryFilePath(), "/home/u/.config/vosko/registry.reg");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(platform::registryFilePath(), "/home/u/.config/vosko/registry.reg");
  EXPECT_EQ(Registry().filePath(), "/home/u/.config/vosko/registry.reg");
}

TEST_F(RegistryTest, StringsRoundTripWithWindows1252QuotesBackslashesAndLineBreaks) {
  const std::pair<std::string, std::string> values[] = {
      {"columnOrder", "K\xFCnstler:138."},
      {"path", "C:\\Music\\\"Best of\"\\"},
      {"empty", ""},
      {"lines", "one\r\ntwo\n"},
      {"high", "\x80\x81\x9F\xA0\xFF"},
      {"we\"ird\\name \xE9", "; not a comment ]["},
  };
  {
    Registry r;
    ASSERT_TRUE(r.openKey(kConfigKey, true));
    for (const auto& [name, text] : values) r.writeString(name, text);
  }
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, false));
  for (const auto& [name, text] : values) {
    EXPECT_TRUE(r.valueExists(name)) << name;
    EXPECT_EQ(r.readString(name), text) << name;
  }
  std::string text = fileText();
  EXPECT_NE(text.find("\"columnOrder\"=\"K\xC3\xBCnstler:138.\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"path\"=\"C:\\\\Music\\\\\\\"Best of\\\"\\\\\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"lines\"=\"one\\r\\ntwo\\n\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"we\\\"ird\\\\name \xC3\xA9\"=\"; not a comment ][\"\n"), std::string::npos);
}

TEST_F(RegistryTest, IntegersKeepAll32BitsAndBooleansAreNumbers) {
  const std::pair<std::string, std::int32_t> values[] = {
      {"zero", 0}, {"width", 613}, {"minusOne", -1}, {"min", INT32_MIN}, {"max", INT32_MAX}};
  {
    Registry r;
    ASSERT_TRUE(r.openKey(kConfigKey, true));
    for (const auto& [name, number] : values) r.writeInteger(name, number);
    r.writeBool("yes", true);
    r.writeBool("no", false);
  }
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, false));
  for (const auto& [name, number] : values) EXPECT_EQ(r.readInteger(name), number) << name;
  EXPECT_TRUE(r.readBool("yes"));
  EXPECT_FALSE(r.readBool("no"));
  EXPECT_TRUE(r.readBool("minusOne"));  // any number but 0
  EXPECT_EQ(r.readInteger("yes"), 1);
  std::string text = fileText();
  EXPECT_NE(text.find("\"minusOne\"=dword:ffffffff\n"), std::string::npos);
  EXPECT_NE(text.find("\"min\"=dword:80000000\n"), std::string::npos);
}

TEST_F(RegistryTest, ReadingWithTheWrongTypeOrAMissingNumberFails) {
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, true));
  r.writeString("database", "mylib.vsk");
  r.writeInteger("width", 613);
  EXPECT_EQ(failureOf([&] { r.readInteger("database"); }),
            "(ERegistryException) Invalid data type for 'database'");
  EXPECT_EQ(failureOf([&] { r.readBool("database"); }),
            "(ERegistryException) Invalid data type for 'database'");
  EXPECT_EQ(failureOf([&] { r.readString("width"); }), "(ERegistryException) Invalid data type for 'width'");
  EXPECT_EQ(failureOf([&] { r.readInteger("height"); }),
            "(ERegistryException) Failed to get data for 'height'");
  EXPECT_EQ(r.readString("cddbHost"), "");
  EXPECT_FALSE(r.valueExists("cddbHost"));
  // Overwriting with the other type changes the type.
  r.writeString("width", "wide");
  EXPECT_EQ(r.readString("width"), "wide");
}

TEST_F(RegistryTest, WithoutACurrentKeyNothingIsReadOrWritten) {
  Registry r;
  EXPECT_FALSE(r.hasCurrentKey());
  EXPECT_EQ(failureOf([&] { r.writeString("x", "1"); }), "(ERegistryException) Failed to set data for 'x'");
  EXPECT_EQ(failureOf([&] { r.readInteger("x"); }), "(ERegistryException) Failed to get data for 'x'");
  EXPECT_EQ(r.readString("x"), "");
  EXPECT_FALSE(r.valueExists("x"));
  EXPECT_FALSE(r.deleteValue("x"));
  EXPECT_FALSE(fs::exists(root_ + "/config"));

  ASSERT_TRUE(r.openKey(kConfigKey, true));
  r.writeString("x", "1");
  r.closeKey();
  EXPECT_EQ(r.readString("x"), "");
  EXPECT_EQ(failureOf([&] { r.writeInteger("x", 1); }), "(ERegistryException) Failed to set data for 'x'");
}

TEST_F(RegistryTest, DeleteValueSaysWhetherItExistedAndRewritesOnlyOnChange) {
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, true));
  r.writeString("database", "a");
  r.writeInteger("width", 1);
  EXPECT_TRUE(r.deleteValue("DATABASE"));  // names match in any letter case
  EXPECT_FALSE(r.valueExists("database"));
  EXPECT_EQ(fileText().find("database"), std::string::npos);

  ino_t before = inode();
  EXPECT_FALSE(r.deleteValue("database"));
  r.writeInteger("width", 1);  // the same value again
  EXPECT_EQ(inode(), before);
  EXPECT_EQ(r.readInteger("width"), 1);
}

TEST_F(RegistryTest, KeysOpenRelativelyAndTheEmptyNameIsTheKeyItself) {
  Registry r;
  EXPECT_FALSE(r.keyExists("Software"));
  EXPECT_FALSE(r.openKey("Software", false));
  EXPECT_FALSE(fs::exists(root_ + "/config"));  // looking creates nothing

  ASSERT_TRUE(r.openKey("Software", true));
  ASSERT_TRUE(r.openKey("Tarquo", true));
  ASSERT_TRUE(r.openKey("Vosko", true));
  EXPECT_EQ(r.currentPath(), "Software\\Tarquo\\Vosko");
  EXPECT_FALSE(r.keyExists("cfg"));
  EXPECT_TRUE(r.keyExists(""));
  ASSERT_TRUE(r.openKey("", false));
  EXPECT_EQ(r.currentPath(), "Software\\Tarquo\\Vosko");
  r.writeString("database", "in Vosko");

  EXPECT_TRUE(r.keyExists("\\software\\TARQUO"));
  ASSERT_TRUE(r.openKey("\\Software\\Tarquo\\Vosko\\", false));
  EXPECT_EQ(r.readString("database"), "in Vosko");

  EXPECT_FALSE(r.openKey("a\\\\b", true));
  EXPECT_FALSE(r.openKey("a\nb", true));
  EXPECT_FALSE(r.keyExists("a\\\\b"));
  EXPECT_EQ(r.currentPath(), "Software\\Tarquo\\Vosko");  // unchanged by the failures

  r.closeKey();
  EXPECT_FALSE(r.keyExists("Tarquo"));  // relative to HKEY_CURRENT_USER again
  EXPECT_TRUE(r.keyExists("Software\\Tarquo"));
}

TEST_F(RegistryTest, FileTextIsExactlyARegistryExportInTreeOrder) {
  Registry r;
  ASSERT_TRUE(r.openKey("Software\\Tarquo\\Vosko\\main two", true));
  ASSERT_TRUE(r.openKey("\\Software\\Tarquo\\Vosko\\main", true));
  r.writeString("database", "mylib.vsk");
  r.writeString("columnOrder", "K\xFCnstler:138.");
  r.writeInteger("width", 613);
  r.writeBool("exitFlag", false);
  r.writeString("", "unnamed");
  r.writeString("database", "other.vsk");  // keeps its place
  ASSERT_TRUE(r.openKey("sub", true));
  ASSERT_TRUE(r.openKey("\\Software\\Tarquo\\Vosko", false));
  r.writeInteger("height", 560);

  EXPECT_EQ(fileText(), std::string(kHeader) +
                            "[HKEY_CURRENT_USER\\Software]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko]\n"
                            "\"height\"=dword:00000230\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko\\main]\n"
                            "\"database\"=\"other.vsk\"\n"
                            "\"columnOrder\"=\"K\xC3\xBCnstler:138.\"\n"
                            "\"width\"=dword:00000265\n"
                            "\"exitFlag\"=dword:00000000\n"
                            "@=\"unnamed\"\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko\\main\\sub]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko\\main two]\n\n");
  EXPECT_EQ(filesInDir(), (std::set<std::string>{"registry.reg", "registry.reg.lock"}));
  struct stat st {};
  ASSERT_EQ(stat(dir_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(RegistryTest, HandWrittenFileIsReadAndRewrittenInItsOwnForm) {
  writeFile(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; written by hand\r\n"
      "  [hkey_current_user\\Software\\Tarquo\\Vosko]  \r\n"
      "\"width\" = dword:0000FFFF\r\n"
      "\"height\"=dword:A5\r\n"
      "\t\"all\"=dword:FFFFFFFF\r\n"
      "@=\"first\"\r\n"
      "@=\"second\"\r\n"
      "\"database\"=\"Gr\xC3\xBC\xC3\x9F"
      "e \xE4\xB8\xAD\"");  // last line without line end
  Registry r;
  ASSERT_TRUE(r.openKey("Software\\Tarquo\\Vosko", false));
  EXPECT_TRUE(r.keyExists("\\Software\\Tarquo"));  // created by the key below it
  EXPECT_EQ(r.readInteger("width"), 0xFFFF);
  EXPECT_EQ(r.readInteger("height"), 0xA5);
  EXPECT_EQ(r.readInteger("all"), -1);
  EXPECT_EQ(r.readString(""), "second");
  // A character outside Windows-1252 reads as "?", and stays in the file.
  EXPECT_EQ(r.readString("database"),
            "Gr\xFC\xDF"
            "e ?");

  r.writeInteger("height", 560);
  EXPECT_EQ(fileText(), std::string(kHeader) +
                            "[HKEY_CURRENT_USER\\Software]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko]\n"
                            "\"width\"=dword:0000ffff\n"
                            "\"height\"=dword:00000230\n"
                            "\"all\"=dword:ffffffff\n"
                            "@=\"second\"\n"
                            "\"database\"=\"Gr\xC3\xBC\xC3\x9F"
                            "e \xE4\xB8\xAD\"\n\n");
}

TEST_F(RegistryTest, EmptyFileHoldsNoKeys) {
  writeFile("");
  Registry r;
  EXPECT_FALSE(r.keyExists("Software"));
  ASSERT_TRUE(r.openKey("Software", true));
  EXPECT_EQ(fileText(), std::string(kHeader) + "[HKEY_CURRENT_USER\\Software]\n\n");
}

TEST_F(RegistryTest, CorruptFileIsReportedWithPathAndLineAndLeftUntouched) {
  const std::string h = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n";
  const struct {
    std::string text;
    int line;
    std::string what;
  } cases[] = {
      {"REGEDIT4\n", 1, "the first line is not \"Windows Registry Editor Version 5.00\""},
      {"Windows Registry Editor Version 5.00\n\n\"a\"=\"b\"\n", 3, "value outside a key"},
      {h + "[HKEY_LOCAL_MACHINE\\Software]\n", 4, "key outside HKEY_CURRENT_USER"},
      {h + "[-HKEY_CURRENT_USER\\Software]\n", 4, "deleting keys is not supported"},
      {h + "[HKEY_CURRENT_USER\\Software\n", 4, "missing ']' after the key name"},
      {h + "[HKEY_CURRENT_USER\\Software\\\\x]\n", 4, "empty key name"},
      {h + "\"a\"=\"b\n", 4, "unterminated text"},
      {h + "\"a\"=\"C:\\x\"\n", 4, "invalid escape sequence"},
      {h + "\"a\"=dword:123456789\n", 4, "invalid dword number"},
      {h + "\"a\"=dword:\n", 4, "invalid dword number"},
      {h + "\"a\"=dword:12g\n", 4, "unexpected text after the value"},
      {h + "\"a\"=\"b\" \"c\"\n", 4, "unexpected text after the value"},
      {h + "\"a\"=hex:01,02\n", 4, "unsupported value type"},
      {h + "\"a\"=-\n", 4, "deleting values is not supported"},
      {h + "\"a\"\"b\"\n", 4, "expected '=' after the value name"},
      {h + "a=\"b\"\n", 4, "expected a quoted value name"},
      {h + "\n\n\"a\"=\"K\xFCnstler\"\n", 6, "invalid UTF-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writeFile(c.text);
    const std::string expected = "(ERegistryException) Invalid registry file '" + file_ + "', line " +
                                 std::to_string(c.line) + ": " + c.what;
    Registry r;
    EXPECT_EQ(failureOf([&] { r.openKey("Software\\Tarquo", true); }), expected);
    EXPECT_EQ(failureOf([&] { r.keyExists("Software"); }), expected);
    EXPECT_EQ(fileText(), c.text);
    EXPECT_EQ(filesInDir(), (std::set<std::string>{"registry.reg", "registry.reg.lock"}));
  }

  // A key opened before the file went bad.
  writeFile(h);
  Registry r;
  ASSERT_TRUE(r.openKey("Software", false));
  writeFile(h + "oops\n");
  const std::string expected =
      "(ERegistryException) Invalid registry file '" + file_ + "', line 4: expected a quoted value name";
  EXPECT_EQ(failureOf([&] { r.writeString("a", "b"); }), expected);
  EXPECT_EQ(failureOf([&] { r.deleteValue("a"); }), expected);
  EXPECT_EQ(failureOf([&] { r.readString("a"); }), expected);
  EXPECT_EQ(fileText(), h + "oops\n");
}

TEST_F(RegistryTest, FailedWriteLeavesTheFileAsItWas) {
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, true));
  r.writeString("database", "mylib.vsk");
  const std::string before = fileText();

  platform::faults::failNthWrite(1);
  EXPECT_EQ(failureOf([&] { r.writeString("database", "new.vsk"); }),
            "(ERegistryException) Cannot write '" + file_ + "': Input/output error");
  EXPECT_FALSE(r.deleteValue("database"));  // deletion reports failure as false
  EXPECT_FALSE(r.openKey("other", true));   // and so does key creation
  platform::faults::reset();

  EXPECT_EQ(fileText(), before);
  EXPECT_EQ(filesInDir(), (std::set<std::string>{"registry.reg", "registry.reg.lock"}));
  EXPECT_EQ(r.currentPath(), kConfigKey);
  EXPECT_EQ(r.readString("database"), "mylib.vsk");
  EXPECT_FALSE(r.keyExists("other"));
}

TEST_F(RegistryTest, StoreBelowAPlainFileCannotBeCreated) {
  std::ofstream(root_ + "/plain") << "x";
  ScopedEnv env("VOSKO_REGISTRY", (root_ + "/plain/registry.reg").c_str());
  Registry r;
  EXPECT_FALSE(r.keyExists("Software"));
  EXPECT_FALSE(r.openKey("Software", true));
  EXPECT_FALSE(r.hasCurrentKey());
}

TEST_F(RegistryTest, StoreNamesUpToTheLongestFileNameWork) {
  for (size_t length : {250u, 251u, 255u}) {
    SCOPED_TRACE(length);
    fs::remove_all(dir_);
    file_ = dir_ + "/" + std::string(length - 4, 'r') + ".reg";
    ScopedEnv env("VOSKO_REGISTRY", file_.c_str());
    Registry r;
    ASSERT_TRUE(r.openKey("Software", true));
    r.writeInteger("n", 7);
    EXPECT_EQ(r.readInteger("n"), 7);
    EXPECT_EQ(filesInDir().size(), 2u);  // the store and its lock, nothing else
  }
}

TEST_F(RegistryTest, FileModeAndLinkSurviveAChange) {
  fs::create_directories(dir_);
  const std::string target = root_ + "/dotfiles.reg";
  std::ofstream(target) << "Windows Registry Editor Version 5.00\n";
  chmod(target.c_str(), 0640);
  fs::create_symlink(target, file_);

  Registry r;
  ASSERT_TRUE(r.openKey("Software", true));
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(fileText(), std::string(kHeader) + "[HKEY_CURRENT_USER\\Software]\n\n");
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(RegistryTest, StoreThatIsNoRegularFileIsRefusedAndLeftAsItIs) {
  fs::create_directories(dir_);
  ASSERT_EQ(mkfifo((root_ + "/fifo").c_str(), 0600), 0);
  const std::string loop = root_ + "/loop", big = root_ + "/big.reg",
                    tooLong = dir_ + "/" + std::string(300, 'r');
  fs::create_symlink(loop, loop);
  std::ofstream(big) << kHeader;
  fs::resize_file(big, (16 << 20) + 1);  // refused before a byte of it is read
  const std::pair<std::string, std::string> cases[] = {
      {"/dev/full", "'/dev/full' is not a regular file."},
      {root_ + "/fifo", "'" + root_ + "/fifo' is not a regular file."},
      {dir_, "'" + dir_ + "' is not a regular file."},
      {loop, "Cannot open '" + loop + "': Too many levels of symbolic links"},
      {tooLong, "Cannot open '" + tooLong + "': File name too long"},
      {big, "Invalid registry file '" + big + "': larger than 16 MiB"}};
  for (const auto& [path, message] : cases) {
    ScopedEnv env("VOSKO_REGISTRY", path.c_str());
    const std::string expected = "(ERegistryException) " + message;
    Registry r;
    EXPECT_EQ(failureOf([&] { r.keyExists("Software"); }), expected);
    EXPECT_EQ(failureOf([&] { r.openKey("Software", true); }), expected);
    EXPECT_FALSE(testutil::exists(path + ".lock")) << path;
  }
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_TRUE(fs::is_fifo(root_ + "/fifo"));
  EXPECT_TRUE(filesInDir().empty());
}

TEST_F(RegistryTest, FailedChangeLeavesNothingBehind) {
  Registry r;
  platform::faults::failNthWrite(1);
  EXPECT_FALSE(r.openKey(kConfigKey, true));
  EXPECT_TRUE(fs::is_empty(root_));  // neither lock file nor directory
}

// The store may be 16 MiB long: a file of exactly that size is read and a
// change may make it that long; one byte more is refused either way.
TEST_F(RegistryTest, StoreOfExactly16MiBIsTakenAndOneByteMoreIsNot) {
  constexpr size_t kLimit = 16 << 20;
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, true));
  r.writeString("a", "");
  const std::string small = fileText();
  const std::string unread = "(ERegistryException) Invalid registry file '" + file_ + "': larger than 16 MiB";
  const std::string unwritten =
      "(ERegistryException) Cannot write '" + file_ + "': the settings would be larger than 16 MiB";
  for (size_t size : {kLimit, kLimit + 1}) {
    // One long comment, made without writing its bytes.
    writeFile(std::string(kHeader) + ";");
    fs::resize_file(file_, size);
    EXPECT_EQ(failureOf([&] { r.keyExists("Software"); }), size > kLimit ? unread : "no failure") << size;

    writeFile(small);
    EXPECT_EQ(failureOf([&] { r.writeString("a", std::string(size - small.size(), 'x')); }),
              size > kLimit ? unwritten : "no failure")
        << size;
    EXPECT_EQ(fs::file_size(file_), size > kLimit ? small.size() : kLimit) << size;
  }
}

TEST_F(RegistryTest, SettingsFileWithoutWritePermissionIsNotRewritten) {
  {
    Registry r;
    ASSERT_TRUE(r.openKey(kConfigKey, true));
    r.writeString("database", "mylib.vsk");
  }
  const std::string before = fileText();
  const std::string refused = "(ERegistryException) Cannot write '" + file_ + "': Permission denied";
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);  // refused even for root
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, false));
  EXPECT_EQ(failureOf([&] { r.writeString("database", "new.vsk"); }), refused);
  EXPECT_EQ(fileText(), before);

  // Another user may not rewrite a file that is not theirs, writable directory or not.
  if (geteuid() != 0) GTEST_SKIP() << "the other user's view needs root";
  ASSERT_EQ(chmod(file_.c_str(), 0644), 0);
  for (const std::string& d : {root_, root_ + "/config", dir_}) chmod(d.c_str(), 0777);
  chmod((file_ + ".lock").c_str(), 0666);
  EXPECT_TRUE(testutil::asNobody([&] {
    Registry other;
    return other.openKey(kConfigKey, false) &&
           failureOf([&] { other.writeString("database", "new.vsk"); }) == refused;
  }));
  EXPECT_EQ(fileText(), before);
}

TEST_F(RegistryTest, NothingIsLostUnderFaults) {
  testutil::TempDir dir;
  ScopedEnv env("VOSKO_REGISTRY", dir.file("registry.reg").c_str());
  testutil::expectOldOrNewUnderFaults(
      dir, dir.file("registry.reg"),
      [&] {
        Registry r;
        r.openKey(kConfigKey, true);
        r.writeString("database", "old.vsk");
      },
      [&] {
        Registry r;
        r.openKey(kConfigKey, false);
        r.writeString("database", "new.vsk");
      });
}

TEST_F(RegistryTest, WritesMergeWithChangesMadeSinceTheKeyWasOpened) {
  Registry first, second;
  ASSERT_TRUE(first.openKey(kConfigKey, true));
  ASSERT_TRUE(second.openKey(kConfigKey, false));
  first.writeString("database", "a.vsk");
  second.writeInteger("width", 1);
  EXPECT_EQ(second.readString("database"), "a.vsk");
  EXPECT_EQ(first.readInteger("width"), 1);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kValues = 200;
  {
    Registry r;
    ASSERT_TRUE(r.openKey(kConfigKey, true));
  }
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t children[2] = {-1, -1};
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    if (children[c] == 0) {
      close(go[1]);
      char byte;
      int status = read(go[0], &byte, 1) == 0 ? 0 : 3;  // both start when the pipe closes
      try {
        Registry r;
        if (!r.openKey(kConfigKey, false)) status = 1;
        for (int i = 0; i < kValues && status == 0; ++i) {
          r.writeInteger("p" + std::to_string(c) + "v" + std::to_string(i), i * 2 + c);
        }
      } catch (...) {
        status = 2;
      }
      _exit(status);
    }
  }
  close(go[0]);
  close(go[1]);
  for (pid_t child : children) {
    ASSERT_GT(child, 0);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  Registry r;
  ASSERT_TRUE(r.openKey(kConfigKey, false));
  int lost = 0;
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < kValues; ++i) {
      std::string name = "p" + std::to_string(c) + "v" + std::to_string(i);
      if (!r.valueExists(name) || r.readInteger(name) != i * 2 + c) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
}

}  // namespace
