#include "convert/convert_database.h"

#include <iterator>
#include <memory>

#include "app/reported_run.h"
#include "app/same_file.h"
#include "basis/exceptions.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "data/legacy/v2_5/convert_2_5.h"
#include "data/legacy/v2_5_3/convert_2_5_3.h"
#include "data/legacy/v2_5_5/convert_2_5_5.h"
#include "platform/console.h"
#include "platform/exception.h"
#include "platform/os_file.h"

void printBanner() {
  platform::writeConsoleLine("");
  platform::writeConsoleLine("vosko - database converter version 1.2.2");
  platform::writeConsoleLine("Copyright (c) 1999-2026 Tarquo. All rights reserved.");
  platform::writeConsoleLine("");
}

void printUsage() {
  platform::writeConsoleLine("");
  platform::writeConsoleLine("usage: convertVOSKO <version> <input-file> <output-file>");
  platform::writeConsoleLine("");
  platform::writeConsoleLine("Important: <version> is either " + sourceVersionList("'") + ".");
  platform::writeConsoleLine("");
}

namespace {

// Refuses paths that are no files to convert before anything is read: an
// input FIFO or device would block or never end, an output that is a
// directory or special file can never take the database, and an output that
// is the input would replace the database before it was read whole.
void checkPaths(const std::string& inputFile, const std::string& outputFile) {
  platform::requireRegularFile(inputFile, true);
  platform::requireRegularFile(outputFile);
  refuseSameFile("", {inputFile}, outputFile);
}

// Standard output may be closed or full: the conversion still runs, and its
// result alone decides the exit code.
void printQuietly(void (*print)()) {
  try {
    print();
  } catch (const EInOutError&) {
  }
}

// The source object is made only once the version is known, so an unknown
// version makes nothing; the managers' empty configuration name is the
// product key of the settings.
void from1_5(const std::string& in, const std::string& out) {
  convert1_5(std::make_unique<TManager1_5>(""), in, out);
}
void from2_0(const std::string& in, const std::string& out) {
  convert2_0(std::make_unique<TManager2_0>(""), in, out);
}
void from2_5(const std::string& in, const std::string& out) {
  convert2_5(std::make_unique<TSoundCarriers2_5>(), in, out);
}
void from2_5_3(const std::string& in, const std::string& out) {
  convert2_5_3(std::make_unique<TSoundCarriers2_5_3>(), in, out);
}
void from2_5_5(const std::string& in, const std::string& out) {
  convert2_5_5(std::make_unique<TSoundCarriers2_5_5>(), in, out);
}

// One old format: its version argument and its conversion.
struct SourceVersion {
  const char* version;
  void (*convert)(const std::string& inputFile, const std::string& outputFile);
};

constexpr SourceVersion kSourceVersions[] = {
    {kVersion1_5, from1_5},     {kVersion2_0, from2_0},     {kVersion2_5, from2_5},
    {kVersion2_5_3, from2_5_3}, {kVersion2_5_5, from2_5_5},
};

}  // namespace

std::string sourceVersionList(const std::string& quote) {
  std::string list;
  const size_t count = std::size(kSourceVersions);
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) list += i + 1 == count ? " or " : ", ";
    list += quote + kSourceVersions[i].version + quote;
  }
  return list;
}

void convertDatabase(const std::string& version, const std::string& inputFile,
                     const std::string& outputFile) {
  for (const SourceVersion& source : kSourceVersions) {
    if (version == source.version) {
      checkPaths(inputFile, outputFile);
      source.convert(inputFile, outputFile);
      return;
    }
  }
  throw IllegalArgumentException("Illegal version parameter: '" + version + "'.");
}

int runConverter(int argc, const char* const* argv) {
  return runReported(kConverterReportPrefix, [&] {
    printQuietly(printBanner);
    // Asking for the version or the usage is no mistake, so it ends with 0.
    const std::string only = argc - 1 == 1 ? argv[1] : "";
    if (only == "--version") return 0;
    if (argc - 1 != 3) {
      printQuietly(printUsage);
      return only == "--help" ? 0 : 2;
    }
    convertDatabase(argv[1], argv[2], argv[3]);
    return 0;
  });
}
