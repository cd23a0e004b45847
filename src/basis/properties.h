// TProperties, a key/value table read from a plain text file, one pair per
// line: surrounding blanks and control characters are trimmed, empty lines
// and lines beginning with "#" or "//" are skipped, the key runs to the first
// blank, "=" or TAB, then blanks, TABs and at most one "=" separate it from
// the value, which is the rest of the line. The first line of a key wins.
// There are no escapes, continuations, quotes or trailing comments.
//
// Keys and values are TStrings that the table owns (also when the class
// registry makes it).
#pragma once

#include <cstdint>
#include <string>

#include "basis/string_table.h"
#include "platform/export.h"

// The pairs of a properties file as a string table, with lookups that
// convert the value.
class VOSKO_API TProperties : public TStringtable {
 public:
  VOSKO_CLASS_NAME(TProperties)

  TProperties() = default;
  // loadProperties(fileName).
  explicit TProperties(const std::string& fileName);

  // Replaces the contents by the file's pairs. A missing file raises
  // InvalidPropertiesException "TProperty: Textfile: <name> does not exist.";
  // one that is no regular file or larger than 1 MiB raises it with
  // "... is not a regular file." or "... is larger than 1 MiB."; one that cannot be read raises the text
  // file's IOException.
  void loadProperties(const std::string& fileName);

  // The value; a missing key raises InvalidKeyException
  // "THashtable.get: Key: <key> not found.".
  std::string getProperty(const std::string& key) const;
  // The value, or def when the key is missing (other failures pass).
  std::string getProperty(const std::string& key, const std::string& def) const;
  // The value as an integer; one that does not convert raises
  // IllegalPropertyValueException "TProperties: Key: <key> no integer value.".
  int32_t getInteger(const std::string& key) const;
  // getInteger(key), or def on any failure.
  int32_t getInteger(const std::string& key, int32_t def) const;
  // "true"/"false" in any letter case; anything else raises
  // IllegalPropertyValueException "TProperties: Key: <key> no boolean value.".
  bool getBoolean(const std::string& key) const;
  // getBoolean(key), or def on any failure.
  bool getBoolean(const std::string& key, bool def) const;
  // True when some value (not key) equals s.
  virtual bool contains(const std::string& s) const;

  std::unique_ptr<TMappedObject> clone() const override;

  // The key and value of one line, as loadProperties reads it; false for a
  // line that is blank or a comment.
  static bool parseLine(const std::string& line, std::string& key, std::string& value);
};
