#include "convert/convert_database.h"

#include <memory>

#include "basis/exceptions.h"
#include "convert/reported_run.h"
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
  platform::writeConsoleLine("Important: <version> is either '1.5', '2.0', '2.5', '2.5.3' or '2.5.5'.");
  platform::writeConsoleLine("");
}

namespace {

// Refuses paths that are no files to convert before anything is read: an
// input FIFO or device would block or never end, and an output that is a
// directory or special file can never take the database.
void checkPaths(const std::string& inputFile, const std::string& outputFile) {
  platform::requireRegularFile(inputFile, true);
  platform::requireRegularFile(outputFile);
}

// Standard output may be closed or full: the conversion still runs, and its
// result alone decides the exit code.
void printQuietly(void (*print)()) {
  try {
    print();
  } catch (const EInOutError&) {
  }
}

}  // namespace

void convertDatabase(const std::string& version, const std::string& inputFile,
                     const std::string& outputFile) {
  // The managers are made only now that the version is known; the empty
  // configuration name is the product key of the settings.
  if (version == "1.5") {
    checkPaths(inputFile, outputFile);
    convert1_5(std::make_unique<TManager1_5>(""), inputFile, outputFile);
    return;
  }
  if (version == "2.0") {
    checkPaths(inputFile, outputFile);
    convert2_0(std::make_unique<TManager2_0>(""), inputFile, outputFile);
    return;
  }
  if (version == "2.5") {
    checkPaths(inputFile, outputFile);
    convert2_5(std::make_unique<TSoundCarriers2_5>(), inputFile, outputFile);
    return;
  }
  if (version == "2.5.3") {
    checkPaths(inputFile, outputFile);
    convert2_5_3(std::make_unique<TSoundCarriers2_5_3>(), inputFile, outputFile);
    return;
  }
  if (version == "2.5.5") {
    checkPaths(inputFile, outputFile);
    convert2_5_5(std::make_unique<TSoundCarriers2_5_5>(), inputFile, outputFile);
    return;
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
