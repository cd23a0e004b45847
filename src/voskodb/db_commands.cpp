#include "voskodb/db_commands.h"

#include <cstdint>
#include <exception>

#include "app/reported_run.h"
#include "basis/byte_cursor.h"
#include "basis/exceptions.h"
#include "convert/convert_database.h"
#include "data/legacy/rescue/object_rescue.h"
#include "data/sound_carriers.h"
#include "platform/console.h"
#include "platform/kept_errno.h"
#include "platform/os_file.h"
#include "voskodb/carrier_source.h"
#include "voskodb/command_lines.h"
#include "voskodb/file_kind.h"
#include "voskodb/file_summary.h"
#include "voskodb/recover_command.h"

namespace {

void print(const std::string& line) { platform::writeConsoleLine(line); }

// What the commands that read the current model take.
const std::string kCurrentDatabases = std::string(kCurrentVersion) + " or relations database";

// The database's block must end where the file ends: the container reads
// only as far as the block's length says, so bytes after it go unnoticed.
void checkTrailingBytes(const std::string& path, size_t headerLength) {
  platform::OsFile file;
  file.openRead(path);
  std::string lead(headerLength + ByteCursor::kInt32Size, '\0');
  lead.resize(file.read(lead.data(), lead.size()));
  ByteCursor in(lead, headerLength);
  int32_t blockLength = 0;
  if (!in.int32(blockLength)) return;  // the load has already said what is wrong
  const int64_t end = static_cast<int64_t>(lead.size()) + static_cast<uint32_t>(blockLength);
  if (file.size() > end) {
    throw IOException("check: " + path + ": " + trailingBytesText(kCurrentVersion, file.size() - end) + ".");
  }
}

// Where the rescue finds the first damage of a database that does not load,
// and the command that rescues the rest. The rescue only reads: nothing is
// written anywhere.
std::string firstDamage(const std::string& path) {
  // The report that follows is the load's, and so is its system message.
  platform::KeptErrno kept;
  RescueReport report;
  try {
    report = analyseObjectDatabase(kCurrentVersion, path);
  } catch (const std::exception&) {
    return "";  // the load has already said what is wrong
  }
  const std::string place = firstDamageText(report);
  if (report.carriers == 0)
    return place.empty() ? "Nothing of it can be rescued." : place + " Nothing of it can be rescued.";
  if (place.empty()) return place;
  return place + " Rescue what is left with: voskodb recover " + shellQuote(path) + " <output-file>";
}

}  // namespace

void infoCommand(const std::string& path, bool json) {
  FileSummary summary = summarizeFile(path);
  if (json) {
    print(summaryJson(summary));
    return;
  }
  for (const std::string& line : summaryLines(summary)) print(line);
}

int upgradeCommand(const std::string& in, const std::string& out) {
  const KindRow& row = recognizeVoskoFile(in);
  if (row.oldVersion == nullptr)
    refuseFile("upgrade", in, row, "an old sound-carrier database (" + sourceVersionList("") + ")");
  const std::string version = row.oldVersion;
  int exitCode = runReported(kConverterReportPrefix, [&] {
    convertDatabase(version, in, out);
    return 0;
  });
  if (exitCode == 0) {
    print("upgraded " + in + " (old format " + version + ") to " + out + " (format " + kCurrentVersion + ")");
  }
  return exitCode;
}

void dumpCommand(const std::string& path) {
  const KindRow& row = recognizeVoskoFile(path);
  if (row.dump == nullptr)
    refuseFile("dump", path, row, "a " + kCurrentDatabases + " (binary or XML) or binary debug entries");
  row.dump(path);
}

void exportXmlCommand(const std::string& database, const std::string& xml) {
  const KindRow& row = recognizeVoskoFile(database);
  if (row.convertCarriers != nullptr) {
    exportConvertedXml(database, row, xml);
  } else {
    if (!row.isCurrentDatabase() || row.isXml())
      refuseFile("export-xml", database, row, "a binary " + kCurrentDatabases + " or an old database");
    row.convert(database, xml);
  }
  print("exported " + database + " (" + row.description + ") to " + xml);
}

void importXmlCommand(const std::string& xml, const std::string& database) {
  const KindRow& row = recognizeVoskoFile(xml);
  if (!row.isCurrentDatabase() || !row.isXml()) {
    refuseFile("import-xml", xml, row,
               std::string("the XML form of a sound-carrier database (VERSION ") +
                   TSoundCarriers::kXmlVersion + ") or of a relations database");
  }
  row.convert(xml, database);
  print("imported " + xml + " (" + row.description + ") to " + database);
}

void checkCommand(const std::string& path) {
  const KindRow& row = recognizeVoskoFile(path);
  if (!row.isCurrentDatabase() && row.convertCarriers == nullptr)
    refuseFile("check", path, row, "a " + kCurrentDatabases + " (binary or XML) or an old database");
  FileSummary summary;
  try {
    // An old database is checked by its conversion, and counted as converted.
    if (row.convertCarriers != nullptr)
      summary.counts = countCarriers(path, row);
    else
      summary = summarizeFile(path, row);
  } catch (const Exception& e) {
    if (row.kind != FileKind::kDatabase2_5_7) throw;
    const std::string place = firstDamage(path);
    if (place.empty()) throw;
    throw IOException(e.message() + " " + place);
  }
  if (row.isCurrentDatabase() && !row.isXml()) checkTrailingBytes(path, row.mark.size());
  std::string line = "ok: " + path + " (" + row.description + ")";
  for (const auto& [what, count] : summary.counts) line += ", " + std::to_string(count) + " " + what;
  print(line);
}
