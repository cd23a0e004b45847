// The settings store that stands for the Windows registry of the current user
// (HKEY_CURRENT_USER). It is one UTF-8 text file in the style of a registry
// export:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Tarquo\Vosko\name]
//   "database"="mylib.vsk"
//   "width"=dword:00000265
//
// Keys come in tree order, each followed by its values in the order they were
// first written and a blank line. In quoted text a backslash, a double quote,
// a line feed and a carriage return are written \\, \", \n and \r; "@" names
// the key's unnamed value. The program's strings are Windows-1252 and are
// converted to and from UTF-8 at this interface only, so text the program
// cannot represent survives when other values are changed.
//
// A `Registry` holds no file open between calls: every call reads the file
// afresh under a shared lock, and every change (write, delete, key creation)
// re-reads it under an exclusive lock on "<file>.lock", applies the change and
// renames a complete temporary file over it, so concurrent processes lose
// nothing and readers never see half a file. A file that cannot be parsed is
// reported with its path and line and never overwritten; one larger than
// 16 MiB, which no settings reach, is refused unread, and so is a change that
// would make it larger. The lock file is kept only beside a store file, so a
// change that fails leaves neither it nor the directories made for it behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/export.h"

// A failure of the settings store: a value missing or of the wrong type, no
// key open for a write, or a store file that cannot be read, parsed or written.
VOSKO_EXCEPTION(ERegistryException, Exception);

namespace platform {

// The store file: $VOSKO_REGISTRY if set, else $XDG_CONFIG_HOME/vosko/registry.reg,
// else $HOME/.config/vosko/registry.reg (an empty or relative XDG_CONFIG_HOME
// counts as unset).
VOSKO_API std::string registryFilePath();

// A view on the store with at most one current key, as a registry object on
// HKEY_CURRENT_USER has. It holds no file; every call sees the file as it is
// now. Every call fails with ERegistryException, naming the file and line,
// when the file cannot be read or parsed; a write also when it cannot be
// written (openKey and deleteValue answer false then).
//
// Key paths use "\" between names; a path that begins with "\" starts at
// HKEY_CURRENT_USER, any other path below the current key (or below
// HKEY_CURRENT_USER when no key is open), and the empty path designates the
// current key itself. Key and value names match without regard to ASCII
// letter case, and keep the case they were created with.
class VOSKO_API Registry {
 public:
  // Works on the file registryFilePath() names now.
  Registry();
  explicit Registry(std::string filePath);

  const std::string& filePath() const { return filePath_; }

  // Makes the key the current key; with canCreate it and any missing key above
  // it are created. False when the key does not exist and may not be created,
  // when the path holds an empty name or a line break, or when the store
  // cannot be written; the current key is then unchanged.
  bool openKey(const std::string& path, bool canCreate);
  bool keyExists(const std::string& path) const;
  void closeKey();
  bool hasCurrentKey() const { return open_; }
  // The current key's path below HKEY_CURRENT_USER, e.g. "Software\Tarquo".
  std::string currentPath() const;

  bool valueExists(const std::string& name) const;
  // A missing value, or no current key, reads as the empty string.
  std::string readString(const std::string& name) const;
  // A missing value fails with "Failed to get data for 'name'".
  std::int32_t readInteger(const std::string& name) const;
  // Stored as a number; every number other than 0 reads as true.
  bool readBool(const std::string& name) const;

  // Without a current key these fail with "Failed to set data for 'name'".
  void writeString(const std::string& name, const std::string& value);
  void writeInteger(const std::string& name, std::int32_t value);
  void writeBool(const std::string& name, bool value);

  // Whether the value existed and is now gone; false also when there is no
  // current key or the store cannot be written.
  bool deleteValue(const std::string& name);

 private:
  // The key a path designates, as UTF-8 names from HKEY_CURRENT_USER; false
  // for a path that no key can have.
  bool resolve(const std::string& path, std::vector<std::string>* names) const;
  void writeValue(const std::string& name, bool isString, const std::string& text, std::uint32_t number);

  std::string filePath_;
  bool open_ = false;
  std::vector<std::string> current_;  // UTF-8 names of the current key
};

}  // namespace platform
