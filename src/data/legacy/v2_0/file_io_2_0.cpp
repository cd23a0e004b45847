#include "data/legacy/v2_0/file_io_2_0.h"

#include "basis/text_file.h"

void TFileIO2_0::writeText(TTextFile& file, const std::string& text, bool lineBreak) {
  if (lineBreak) {
    file.writeln(text);
  } else {
    file.write(text);
  }
}
