#include "convert/convert_database.h"

#include <exception>

#include "basis/exceptions.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/exception.h"

namespace {

const char* const kVersions[] = {"1.5", "2.0", "2.5", "2.5.3", "2.5.5"};

// Until the diagnostics channel exists, a failure is shown as the channel's
// default console form would show it.
void reportFatal(const std::exception& e, const std::string& text) {
  try {
    platform::writeConsoleLine(platform::formatDateTime(platform::now()) + " vosko: FATAL ERROR: " + text);
    platform::writeConsoleLine("");
    platform::writeConsoleLine("\texception");
    platform::writeConsoleLine("\tclass: " + platform::exceptionClassName(e));
    platform::writeConsoleLine("\tmessage: " + platform::exceptionMessage(e));
    platform::writeConsoleLine("");
  } catch (...) {
    // The console itself failed; there is nowhere left to report to.
  }
}

}  // namespace

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

void convertDatabase(const std::string& version, const std::string& inputFile,
                     const std::string& outputFile) {
  for (const char* known : kVersions) {
    if (version == known) {
      throw IllegalArgumentException("Conversion from version " + version + " is not supported yet.");
    }
  }
  throw IllegalArgumentException("Illegal version parameter: '" + version + "'.");
}

int runConverter(int argc, const char* const* argv) {
  int exitCode = 0;
  try {
    printBanner();
    if (argc - 1 == 3) {
      convertDatabase(argv[1], argv[2], argv[3]);
    } else {
      printUsage();
      exitCode = 2;
    }
  } catch (const Exception& e) {
    reportFatal(e, "convertVosko.exe: " + e.message());
    exitCode = 1;
  } catch (const std::exception& e) {
    reportFatal(e, "convertVosko.exe: " + platform::exceptionMessage(e));
    exitCode = 1;
  }
  return exitCode;
}
