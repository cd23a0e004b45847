#include "platform/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/code_page.h"
#include "platform/os_file.h"
#include "platform/utf8.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
// Far beyond any real settings file, so that a huge file in its place is
// refused before it is read into memory.
constexpr off_t kMaxStoreSize = 16 << 20;

// A failure to change the store file. Key creation and deletion report it as
// false, as the registry functions they stand for do; it keeps the class name
// of its base for everyone else.
class WriteFailure : public ERegistryException {
 public:
  using ERegistryException::ERegistryException;
};

// Everything below keeps names and texts in UTF-8, the form of the file.
struct Value {
  std::string name;
  bool isString = true;
  std::string text;
  std::uint32_t number = 0;
};

struct Key {
  std::vector<std::string> names;                 // from HKEY_CURRENT_USER, as first created
  std::vector<Value> values;                      // in the order first written
  std::unordered_map<std::string, size_t> index;  // folded name -> place in values
};

// Names folded to lower case; as a map key it puts a key right before the keys
// below it, which gives the file its tree order.
using KeyId = std::vector<std::string>;

struct Store {
  Store() { keys.emplace(KeyId{}, Key{}); }  // HKEY_CURRENT_USER always exists
  std::map<KeyId, Key> keys;
};

std::string fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

KeyId idOf(const std::vector<std::string>& names) {
  KeyId id;
  for (const auto& n : names) id.push_back(fold(n));
  return id;
}

const Key* findKey(const Store& store, const std::vector<std::string>& names) {
  auto it = store.keys.find(idOf(names));
  return it == store.keys.end() ? nullptr : &it->second;
}

// The place of the named value in key.values, or -1.
long findValue(const Key& key, const std::string& name) {
  auto it = key.index.find(fold(name));
  return it == key.index.end() ? -1 : static_cast<long>(it->second);
}

bool eraseValue(Key& key, const std::string& name) {
  long i = findValue(key, name);
  if (i < 0) return false;
  key.values.erase(key.values.begin() + i);
  key.index.clear();
  for (size_t k = 0; k < key.values.size(); ++k) key.index.emplace(fold(key.values[k].name), k);
  return true;
}

// Creates the key and every missing key above it; true when one was missing.
bool ensureKey(Store& store, const std::vector<std::string>& names) {
  bool created = false;
  KeyId id;
  for (size_t i = 0; i < names.size(); ++i) {
    id.push_back(fold(names[i]));
    if (store.keys.count(id) == 0) {
      store.keys.emplace(id, Key{{names.begin(), names.begin() + static_cast<long>(i) + 1}, {}, {}});
      created = true;
    }
  }
  return created;
}

// Sets the value, keeping the place and the name of one already there; true
// when anything changed.
bool setValue(Key& key, const Value& value) {
  long i = findValue(key, value.name);
  if (i < 0) {
    key.index.emplace(fold(value.name), key.values.size());
    key.values.push_back(value);
    return true;
  }
  Value& old = key.values[static_cast<size_t>(i)];
  if (old.isString == value.isString && old.text == value.text && old.number == value.number) {
    return false;
  }
  old.isString = value.isString;
  old.text = value.text;
  old.number = value.number;
  return true;
}

// ---- The text form -------------------------------------------------------

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      // A line break would end the line; .reg files have no form for it.
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  out += '"';
}

std::string formatStore(const Store& store) {
  std::string out(kHeader);
  out += "\n\n";
  for (const auto& [id, key] : store.keys) {
    if (id.empty() && key.values.empty()) continue;
    out += '[';
    out += kRoot;
    for (const auto& n : key.names) out += '\\' + n;
    out += "]\n";
    for (const auto& v : key.values) {
      if (v.name.empty()) {
        out += '@';
      } else {
        appendQuoted(out, v.name);
      }
      out += '=';
      if (v.isString) {
        appendQuoted(out, v.text);
      } else {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x", v.number);
        out += number;
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

// One line of a store file being parsed.
class LineParser {
 public:
  LineParser(std::string_view line, const std::string& path, size_t lineNumber)
      : s_(line), path_(path), lineNumber_(lineNumber) {}

  [[noreturn]] void fail(const std::string& what) const {
    throw ERegistryException("Invalid registry file '" + path_ + "', line " + std::to_string(lineNumber_) +
                             ": " + what);
  }

  // "[HKEY_CURRENT_USER\a\b]": creates the key as importing a .reg file does.
  Key& section(Store& store) const {
    if (s_.back() != ']') fail("missing ']' after the key name");
    std::string_view inner = s_.substr(1, s_.size() - 2);
    if (!inner.empty() && inner.front() == '-') fail("deleting keys is not supported");
    size_t slash = inner.find('\\');
    if (fold(inner.substr(0, slash)) != fold(kRoot)) fail("key outside HKEY_CURRENT_USER");
    std::vector<std::string> names;
    while (slash != std::string_view::npos) {
      inner.remove_prefix(slash + 1);
      slash = inner.find('\\');
      std::string_view name = inner.substr(0, slash);
      if (name.empty()) fail("empty key name");
      names.emplace_back(name);
    }
    ensureKey(store, names);
    return store.keys.at(idOf(names));
  }

  // "name"="text", "name"=dword:1a2b3c4d or @= for the unnamed value.
  void value(Key& key) {
    Value v;
    if (peek('@')) {
      ++pos_;
    } else if (peek('"')) {
      v.name = quoted();
    } else {
      fail("expected a quoted value name");
    }
    skipBlanks();
    if (!peek('=')) fail("expected '=' after the value name");
    ++pos_;
    skipBlanks();
    if (peek('"')) {
      v.text = quoted();
    } else if (s_.substr(pos_).starts_with("dword:")) {
      pos_ += 6;
      size_t digits = 0;
      while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s_[pos_++])));
        v.number = (v.number << 4) | static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        ++digits;
      }
      if (digits == 0 || digits > 8) fail("invalid dword number");
      v.isString = false;
    } else if (peek('-')) {
      fail("deleting values is not supported");
    } else {
      fail("unsupported value type");
    }
    skipBlanks();
    if (pos_ != s_.size()) fail("unexpected text after the value");
    setValue(key, v);
  }

 private:
  bool peek(char c) const { return pos_ < s_.size() && s_[pos_] == c; }
  void skipBlanks() {
    while (peek(' ') || peek('\t')) ++pos_;
  }

  std::string quoted() {
    std::string out;
    ++pos_;
    for (;;) {
      if (pos_ >= s_.size()) fail("unterminated text");
      char c = s_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      char e = pos_ < s_.size() ? s_[pos_++] : '\0';
      switch (e) {
        case '\\':
          out += '\\';
          break;
        case '"':
          out += '"';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        default:
          fail("invalid escape sequence");
      }
    }
  }

  std::string_view s_;
  const std::string& path_;
  size_t lineNumber_;
  size_t pos_ = 0;
};

Store parseStore(std::string_view text, const std::string& path) {
  Store store;
  // An empty file holds nothing that a rewrite could lose.
  if (text.empty()) return store;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  Key* key = nullptr;
  size_t lineNumber = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    LineParser parser(line, path, lineNumber);
    if (!isValidUtf8(line)) parser.fail("invalid UTF-8");
    if (lineNumber == 1) {
      if (line != kHeader) parser.fail("the first line is not \"" + std::string(kHeader) + "\"");
      continue;
    }
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    LineParser trimmed(line, path, lineNumber);
    if (line.front() == '[') {
      key = &trimmed.section(store);
    } else if (key == nullptr) {
      trimmed.fail("value outside a key");
    } else {
      trimmed.value(*key);
    }
  }
  return store;
}

// ---- The file ------------------------------------------------------------

[[noreturn]] void writeFailure(const std::string& what, const std::string& path, int error) {
  throw WriteFailure(what + " '" + path + "': " + std::strerror(error));
}

std::string parentOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Adds the directories it makes to *created, outermost first.
void makeDirectories(const std::string& dir, std::vector<std::string>* created) {
  if (dir.empty()) return;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) writeFailure("Cannot create", dir, ENOTDIR);
    return;
  }
  makeDirectories(parentOf(dir), created);
  // Settings are private to their user.
  if (::mkdir(dir.c_str(), 0700) == 0) {
    created->push_back(dir);
  } else if (errno != EEXIST) {
    writeFailure("Cannot create", dir, errno);
  }
}

void requireSensibleSize(const std::string& path, off_t size) {
  if (size > kMaxStoreSize) {
    throw ERegistryException("Invalid registry file '" + path + "': larger than " +
                             std::to_string(kMaxStoreSize >> 20) + " MiB");
  }
}

// The file's contents, or nothing when it does not exist.
std::optional<std::string> readWholeFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return std::nullopt;
  try {
    OsFile file;
    file.openRead(path);
    requireSensibleSize(path, file.size());
    std::string data(static_cast<size_t>(file.size()), '\0');
    if (file.read(data.data(), data.size()) != data.size()) {
      throw ERegistryException("Cannot read '" + path + "': " + std::strerror(errno));
    }
    return data;
  } catch (const EInOutError& e) {
    throw ERegistryException(e.message());
  }
}

// "<file>.lock", unless that name would be longer than a file name may be:
// then a shortened name that still depends on the whole name, so that every
// process finds the same lock.
std::string lockPathFor(const std::string& filePath) {
  constexpr size_t kNameMax = 255;
  const size_t slash = filePath.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t nameLength = filePath.size() - nameStart;
  if (nameLength + 5 <= kNameMax) return filePath + ".lock";
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (size_t i = nameStart; i < filePath.size(); ++i) {
    hash = (hash ^ static_cast<unsigned char>(filePath[i])) * 1099511628211ull;
  }
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%016llx.lock", static_cast<unsigned long long>(hash));
  return filePath.substr(0, filePath.size() - (nameLength + std::strlen(suffix) - kNameMax)) + suffix;
}

// Holds flock on the lock file for its lifetime. The lock file stays beside
// the store, since the store file itself is replaced by every change and
// cannot carry the lock; without a store it goes with its last exclusive
// holder, so that a change that failed leaves nothing behind.
class StoreLock {
 public:
  StoreLock(const std::string& filePath, bool exclusive)
      : filePath_(filePath), lockPath_(lockPathFor(filePath)), exclusive_(exclusive) {
    // A lock file removed while we waited for it guards nothing any more.
    while (acquire() && !stillInPlace()) ::close(std::exchange(fd_, -1));
  }
  ~StoreLock() {
    if (fd_ < 0) return;
    struct stat st {};
    if (exclusive_ && ::stat(filePath_.c_str(), &st) != 0) ::unlink(lockPath_.c_str());
    ::close(fd_);  // releases the lock
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  // True with the lock held; false for a reader that goes on without it, as
  // it still sees whole files, since writers rename.
  bool acquire() {
    fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0 && !exclusive_) fd_ = ::open(lockPath_.c_str(), O_RDONLY | O_CLOEXEC);
    int result = -1;
    if (fd_ >= 0) {
      do {
        result = ::flock(fd_, exclusive_ ? LOCK_EX : LOCK_SH);
      } while (result != 0 && errno == EINTR);
    }
    if (result == 0) return true;
    int error = errno;
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (exclusive_) writeFailure("Cannot lock", lockPath_, error);
    return false;
  }

  bool stillInPlace() const {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd_, &held) == 0 && ::stat(lockPath_.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
  }

  std::string filePath_;
  std::string lockPath_;
  bool exclusive_;
  int fd_ = -1;
};

void replaceFile(const std::string& path, const std::string& text) {
  try {
    // Renaming would succeed where the user may not write the file itself.
    if (isReadOnlyFile(path)) writeFailure("Cannot write", path, EACCES);
    OsFile file;
    // A store file that is a link (kept with other configuration files, say)
    // stays one: the file it names is replaced.
    file.openReplacement(path);
    if (file.write(text.data(), text.size()) != text.size()) {
      throw WriteFailure("Cannot write '" + path + "': " + std::strerror(errno));
    }
    file.commitReplacement();
  } catch (const EInOutError& e) {
    throw WriteFailure(e.message());
  }
}

Store loadStore(const std::string& path) {
  std::optional<std::string> text = readWholeFile(path);
  return text ? parseStore(*text, path) : Store();
}

// Whether the store file exists. Only a regular file of sensible size is a
// store; anything else, and a path that cannot name a file (a loop of links,
// a name too long), is refused before a lock file is made beside it.
bool storeExists(const std::string& path) {
  try {
    requireRegularFile(path);
  } catch (const EInOutError& e) {
    throw ERegistryException(e.message());
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    requireSensibleSize(path, st.st_size);
    return true;
  }
  if (errno == ENOENT || errno == ENOTDIR) return false;
  throw ERegistryException("Cannot open '" + path + "': " + std::strerror(errno));
}

Store readStore(const std::string& path) {
  // A store that does not exist is read without a lock, which would outlive the call.
  if (!storeExists(path)) return Store();
  StoreLock lock(path, false);
  return loadStore(path);
}

// The directories made for a change, removed again unless the change came
// about: a failed change leaves nothing behind.
struct MadeDirectories {
  ~MadeDirectories() {
    if (keep) return;
    for (auto dir = paths.rbegin(); dir != paths.rend(); ++dir) ::rmdir(dir->c_str());
  }
  std::vector<std::string> paths;  // outermost first
  bool keep = false;
};

// Applies a change to the newest store under the exclusive lock, and writes
// the file when apply reports that something changed.
template <typename Apply>
bool changeStore(const std::string& path, Apply apply) {
  MadeDirectories made;  // outlives the lock, whose file is in the innermost one
  makeDirectories(parentOf(path), &made.paths);
  storeExists(path);
  StoreLock lock(path, true);
  Store store = loadStore(path);
  if (!apply(store)) return false;
  std::string text = formatStore(store);
  // Written, it would be refused by every later read.
  if (text.size() > static_cast<size_t>(kMaxStoreSize)) {
    throw WriteFailure("Cannot write '" + path + "': the settings would be larger than " +
                       std::to_string(kMaxStoreSize >> 20) + " MiB");
  }
  replaceFile(path, text);
  made.keep = true;
  return true;
}

std::string quotedName(const std::string& name) { return "'" + name + "'"; }

}  // namespace

std::string registryFilePath() {
  const char* own = std::getenv("VOSKO_REGISTRY");
  if (own != nullptr && *own != '\0') return own;
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else if (home != nullptr && *home != '\0') {
    base = std::string(home) + "/.config";
  } else {
    const passwd* user = ::getpwuid(::getuid());
    base = std::string(user != nullptr && user->pw_dir != nullptr ? user->pw_dir : ".") + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (base != "/") base += '/';
  return base + "vosko/registry.reg";
}

Registry::Registry() : Registry(registryFilePath()) {}

Registry::Registry(std::string filePath) : filePath_(std::move(filePath)) {}

bool Registry::resolve(const std::string& path, std::vector<std::string>* names) const {
  std::string_view rest = path;
  bool absolute = rest.starts_with('\\');
  if (absolute) rest.remove_prefix(1);
  if (rest.ends_with('\\')) rest.remove_suffix(1);
  *names = absolute || !open_ ? std::vector<std::string>() : current_;
  while (!rest.empty()) {
    size_t slash = rest.find('\\');
    std::string_view name = rest.substr(0, slash);
    if (name.empty() || name.find_first_of("\r\n") != std::string_view::npos) return false;
    names->push_back(ansiToUtf8(name));
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    if (slash != std::string_view::npos && rest.empty()) return false;  // "a\\"
  }
  return true;
}

bool Registry::openKey(const std::string& path, bool canCreate) {
  std::vector<std::string> names;
  if (!resolve(path, &names)) return false;
  if (findKey(readStore(filePath_), names) == nullptr) {
    if (!canCreate) return false;
    try {
      changeStore(filePath_, [&](Store& store) { return ensureKey(store, names); });
    } catch (const WriteFailure&) {
      return false;
    }
  }
  open_ = true;
  current_ = std::move(names);
  return true;
}

bool Registry::keyExists(const std::string& path) const {
  std::vector<std::string> names;
  return resolve(path, &names) && findKey(readStore(filePath_), names) != nullptr;
}

void Registry::closeKey() {
  open_ = false;
  current_.clear();
}

std::string Registry::currentPath() const {
  std::string path;
  for (const auto& n : current_) {
    if (!path.empty()) path += '\\';
    path += utf8ToAnsi(n);
  }
  return path;
}

bool Registry::valueExists(const std::string& name) const {
  if (!open_) return false;
  Store store = readStore(filePath_);
  const Key* key = findKey(store, current_);
  return key != nullptr && findValue(*key, ansiToUtf8(name)) >= 0;
}

std::string Registry::readString(const std::string& name) const {
  if (!open_) return "";
  Store store = readStore(filePath_);
  const Key* key = findKey(store, current_);
  long i = key == nullptr ? -1 : findValue(*key, ansiToUtf8(name));
  if (i < 0) return "";
  const Value& v = key->values[static_cast<size_t>(i)];
  if (!v.isString) throw ERegistryException("Invalid data type for " + quotedName(name));
  return utf8ToAnsi(v.text);
}

std::int32_t Registry::readInteger(const std::string& name) const {
  if (!open_) throw ERegistryException("Failed to get data for " + quotedName(name));
  Store store = readStore(filePath_);
  const Key* key = findKey(store, current_);
  long i = key == nullptr ? -1 : findValue(*key, ansiToUtf8(name));
  if (i < 0) throw ERegistryException("Failed to get data for " + quotedName(name));
  const Value& v = key->values[static_cast<size_t>(i)];
  if (v.isString) throw ERegistryException("Invalid data type for " + quotedName(name));
  return static_cast<std::int32_t>(v.number);
}

bool Registry::readBool(const std::string& name) const { return readInteger(name) != 0; }

void Registry::writeValue(const std::string& name, bool isString, const std::string& text,
                          std::uint32_t number) {
  if (!open_) throw ERegistryException("Failed to set data for " + quotedName(name));
  Value v{ansiToUtf8(name), isString, isString ? ansiToUtf8(text) : std::string(), number};
  changeStore(filePath_, [&](Store& store) {
    // Another process may have changed the file since the key was opened.
    bool created = ensureKey(store, current_);
    return setValue(store.keys.at(idOf(current_)), v) || created;
  });
}

void Registry::writeString(const std::string& name, const std::string& value) {
  writeValue(name, true, value, 0);
}

void Registry::writeInteger(const std::string& name, std::int32_t value) {
  writeValue(name, false, "", static_cast<std::uint32_t>(value));
}

void Registry::writeBool(const std::string& name, bool value) { writeInteger(name, value ? 1 : 0); }

bool Registry::deleteValue(const std::string& name) {
  // Looking first keeps a delete of nothing from creating files.
  if (!valueExists(name)) return false;
  std::string utf8Name = ansiToUtf8(name);
  try {
    return changeStore(filePath_, [&](Store& store) {
      auto it = store.keys.find(idOf(current_));
      return it != store.keys.end() && eraseValue(it->second, utf8Name);
    });
  } catch (const WriteFailure&) {
    return false;
  }
}

}  // namespace platform
