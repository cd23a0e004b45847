// voskodb <command> ...: see, check, upgrade, export and import the files of
// the Vosko music library. Exit codes: 0 done, 1 failure reported (through
// channel "vosko", as convertVOSKO reports), 2 usage shown.
#include <CLI/CLI.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/reported_run.h"
#include "app/same_file.h"
#include "app/start_up.h"
#include "convert/convert_database.h"
#include "data/sound_carriers.h"
#include "platform/console.h"
#include "voskodb/catalogue_page.h"
#include "voskodb/collection_export.h"
#include "voskodb/db_commands.h"
#include "voskodb/recover_command.h"
#include "voskodb/search_commands.h"

namespace {

constexpr const char* kReportPrefix = "voskodb: ";

int runVoskodb(int argc, char** argv) {
  CLI::App app{
      "voskodb: see, check, upgrade, export and import Vosko database files.\n"
      "Exit codes: 0 done, 1 failure reported, 2 usage shown.",
      "voskodb"};
  app.require_subcommand(1);
  app.fallthrough(false);
  app.set_version_flag("--version", std::string("voskodb ") + VOSKO_VERSION);

  const std::string current = kCurrentVersion;
  std::string file, in, out;
  bool json = false;

  CLI::App* info = app.add_subcommand("info",
                                      "Tell which kind of Vosko file FILE is and count what it holds; "
                                      "for an old database, the convertVOSKO command that converts it.");
  info->add_option("FILE", file, "any Vosko file")->required();
  info->add_flag("--json", json, "print the same as one JSON object");

  CLI::App* upgrade =
      app.add_subcommand("upgrade", "Convert the old database IN (" + sourceVersionList("") +
                                        ", recognised from its header) into the current database OUT, "
                                        "exactly as convertVOSKO <version> IN OUT does.");
  upgrade->add_option("IN", in, "old sound-carrier database")->required();
  upgrade->add_option("OUT", out, current + " database to write")->required();

  CLI::App* dump =
      app.add_subcommand("dump", "List a " + current +
                                     " database (carriers and their titles), a relations database (relations "
                                     "and their artists) or binary debug entries (their text form).");
  dump->add_option("FILE", file, "database or debug file")->required();

  CLI::App* exportXml =
      app.add_subcommand("export-xml", "Write the XML form of a " + current + " or relations database.");
  exportXml->add_option("DB", in, "binary database")->required();
  exportXml->add_option("OUT.xml", out, "XML file to write")->required();

  CLI::App* exportCsv = app.add_subcommand(
      "export-csv", "Write the titles of a " + current +
                        " database as CSV (UTF-8, RFC 4180), one row per title with its carrier's fields.");
  exportCsv->add_option("DB", in, "database (binary or XML)")->required();
  exportCsv->add_option("OUT", out, "CSV file to write, - for standard output")->required();
  bool spreadsheet = false;
  exportCsv->add_flag("--spreadsheet", spreadsheet,
                      "write cells that start with =, +, -, @, tab or CR as text (a leading ')");

  CLI::App* exportJson = app.add_subcommand(
      "export-json", "Write the carriers and titles of a " + current + " database as one JSON document.");
  exportJson->add_option("DB", in, "database (binary or XML)")->required();
  exportJson->add_option("OUT", out, "JSON file to write, - for standard output")->required();

  CLI::App* exportHtml = app.add_subcommand(
      "export-html", "Write a " + current +
                         " database as one HTML page that needs nothing but a browser: its carriers and "
                         "titles with a search, sorting and charts.");
  exportHtml->add_option("DB", in, "database (binary or XML)")->required();
  exportHtml->add_option("OUT.html", out, "HTML file to write, - for standard output")->required();

  CLI::App* importXml = app.add_subcommand(
      "import-xml", std::string("Write the binary database of an XML form (sound carriers, VERSION ") +
                        TSoundCarriers::kXmlVersion + ", or relations).");
  importXml->add_option("IN.xml", in, "XML file")->required();
  importXml->add_option("DB", out, "binary database to write")->required();

  std::string format;
  CLI::App* recover = app.add_subcommand(
      "recover", "Rescue what the damaged database IN (any format, old or " + current +
                     ") still holds into the new " + current +
                     " database OUT: every carrier and title that reads whole, converted as the undamaged "
                     "file would be, and a report of what was lost.");
  recover->add_option("IN", in, "damaged database")->required();
  recover->add_option("OUT", out, current + " database to write")->required();
  recover->add_option("--format", format, "the format of IN when its header is damaged");
  recover->add_flag("--json", json, "print the report as one JSON object");

  CLI::App* check = app.add_subcommand(
      "check", "Load a " + current +
                   " or relations database completely; print ok with its counts or the first problem.");
  check->add_option("FILE", file, "database (binary or XML)")->required();

  std::vector<std::string> words;
  FindFields findFields;
  CLI::App* find = app.add_subcommand(
      "find", "Print the carriers and titles of a " + current +
                  " database that hold all WORDS, whatever their case and accents, as dump prints them. "
                  "Exit codes: 0 found, 1 nothing found or failure reported, 2 usage shown.");
  find->add_option("DB", file, "database (binary or XML)")->required();
  find->add_option("WORDS", words, "words to find; a year as 1994, 199x or 1990s")->required();
  find->add_flag("--artist", findFields.artist, "search the artists and original artists only");
  find->add_flag("--title", findFields.title, "search the carriers' and titles' names only");
  find->add_flag("--label", findFields.label, "search the labels only");
  find->add_flag("--year", findFields.year, "search the release years only");

  CLI::App* stats = app.add_subcommand(
      "stats", "Count the carriers and titles of a " + current +
                   " database by medium, kind and decade, and name the artists and labels with the most.");
  stats->add_option("DB", file, "database (binary or XML)")->required();
  stats->add_flag("--json", json, "print the same as one JSON object");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // A word where the command belongs is named, not listed among the arguments.
    if (argc > 1 && argv[1][0] != '-' &&
        app.get_subcommands([&](const CLI::App* c) { return c->get_name() == argv[1]; }).empty()) {
      platform::writeConsoleText(
          platform::ConsoleStream::kError,
          std::string("voskodb: '") + argv[1] + "' is not a command; see 'voskodb --help'\n");
      return 2;
    }
    // The library quotes the arguments it refuses; they reach the terminal
    // only in the console form.
    std::ostringstream out, err;
    int code = app.exit(e, out, err);
    platform::writeConsoleText(platform::ConsoleStream::kOutput, out.str());
    platform::writeConsoleText(platform::ConsoleStream::kError, err.str());
    return code == 0 ? 0 : 2;
  }

  // The commands that write OUT from IN: none may write over what it reads.
  CLI::App* const writers[] = {upgrade, exportXml, exportCsv, exportJson, exportHtml, importXml, recover};
  return runReported(kReportPrefix, [&] {
    for (CLI::App* writer : writers) {
      if (*writer) refuseSameFile(writer->get_name() + ": ", {in}, out);
    }
    if (*find) return findCommand(file, words, findFields);
    if (*stats) statsCommand(file, json);
    if (*info) infoCommand(file, json);
    if (*upgrade) return upgradeCommand(in, out);
    if (*dump) dumpCommand(file);
    if (*exportXml) exportXmlCommand(in, out);
    if (*exportCsv) exportCsvCommand(in, out, spreadsheet);
    if (*exportJson) exportJsonCommand(in, out);
    if (*exportHtml) exportHtmlCommand(in, out);
    if (*importXml) importXmlCommand(in, out);
    if (*check) checkCommand(file);
    if (*recover) recoverCommand(in, out, format, json);
    return 0;
  });
}

}  // namespace

int main(int argc, char** argv) {
  // Standard output carries only what a command was asked for, so that it
  // can go straight to another program.
  platform::setDiagnosticsStream(platform::ConsoleStream::kError);
  startUp();
  int exitCode = runVoskodb(argc, argv);
  shutDown();
  return exitCode;
}
