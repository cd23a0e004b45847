// TFileIO2_0: the transfers of the 2.0 database file (shared with 1.5, see
// record_file.h) and the text output of its records.
#pragma once

#include <string>

#include "data/legacy/records/record_file.h"

class TTextFile;

class TFileIO2_0 : public legacy::RecordIO {
 public:
  // The text, then a line break when asked for; failures are the text file's.
  static void writeText(TTextFile& file, const std::string& text, bool lineBreak);
};
