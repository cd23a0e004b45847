// The manager of a 1.5 or 2.0 database, shared by both versions as a template
// over a Format that names the four list classes, the settings class and the
// raw header. The manager owns its lists and its settings object; the file is
// open only inside load().
//
//   struct Format {
//     using Artists = ...; using Labels = ...; using Titles = ...; using Carriers = ...;
//     using Config = ...;  // constructed from the configuration name
//     static std::string header();
//   };
#pragma once

#include <memory>
#include <string>

#include "data/legacy/records/record_file.h"

namespace legacy {

// The four lists of a database and how they are read, without the settings:
// what a reader needs that must not consult the settings store.
template <class Format>
class RelationalLists {
 public:
  RelationalLists() = default;
  virtual ~RelationalLists() = default;
  RelationalLists(const RelationalLists&) = delete;
  RelationalLists& operator=(const RelationalLists&) = delete;

  // The empty name stands for "mylib.vsk" in the current directory.
  void setFileName(const std::string& name) { fileName_ = name.empty() ? "mylib.vsk" : name; }
  const std::string& getFileName() const { return fileName_; }

  // Reads the database file: artists, labels, titles and carriers in this
  // order. A missing file leaves the database as it is; a file of the header
  // alone empties it; bytes after the carrier list are ignored.
  void load() {
    RecordFile file;
    if (!openDatabase(file, fileName_, Format::header())) return;
    if (file.remaining() == 0) {
      clear();
      return;
    }
    artists_.readFrom(file);
    labels_.readFrom(file);
    titles_.readFrom(file);
    carriers_.readFrom(file);
  }

  void clear() {
    artists_.clear();
    labels_.clear();
    titles_.clear();
    carriers_.clear();
  }

  typename Format::Artists& artists() { return artists_; }
  typename Format::Labels& labels() { return labels_; }
  typename Format::Titles& titles() { return titles_; }
  typename Format::Carriers& carriers() { return carriers_; }
  const typename Format::Artists& artists() const { return artists_; }
  const typename Format::Labels& labels() const { return labels_; }
  const typename Format::Titles& titles() const { return titles_; }
  const typename Format::Carriers& carriers() const { return carriers_; }

 private:
  typename Format::Artists artists_;
  typename Format::Titles titles_;
  typename Format::Carriers carriers_;
  typename Format::Labels labels_;
  std::string fileName_;
};

template <class Format>
class RelationalManager : public RelationalLists<Format> {
 public:
  // Creates the lists and the settings of that configuration, whose database
  // file becomes the file name.
  explicit RelationalManager(const std::string& configName)
      : config_(std::make_unique<typename Format::Config>(configName)) {
    this->setFileName(config_->database);
  }

  typename Format::Config& config() { return *config_; }

 private:
  std::unique_ptr<typename Format::Config> config_;
};

}  // namespace legacy
