// TPObject, the persistent object: every class the system stores derives
// from it and writes its own fields in writeTo, reads them in readFrom.
//
// load(name) and store(name) open a TFile with the class's fileHeader(); the
// object's data is one length-prefixed block. store(name) writes a temporary
// file beside the target and renames it over the target only when complete,
// so a failed store leaves an existing file untouched and no partial file.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "basis/mapped_object.h"
#include "platform/export.h"

class TFile;
class TTextFile;
class THashtable;

// The persistent object: writes and reads its own fields in a TFile, prints
// itself to a text file, and loads and stores a file of its own.
class VOSKO_API TPObject : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TPObject)

  TPObject() = default;

  TPObject* asPObject() final { return this; }

  using FileHandler = std::function<void(TFile&)>;
  using PrintHandler = std::function<void(TTextFile&)>;

  // Handlers that replace readFrom, writeTo and printTo when set.
  void setOnRead(FileHandler handler) { extras().onRead = std::move(handler); }
  void setOnWrite(FileHandler handler) { extras().onWrite = std::move(handler); }
  void setOnPrint(PrintHandler handler) { extras().onPrint = std::move(handler); }

  // Reads nothing.
  virtual void readFrom(TFile& file);
  // Writes hashCode() and the class name; every stored class overrides it.
  virtual void writeTo(TFile& file);
  // One line: toString().
  virtual void printTo(TTextFile& file);
  virtual bool isLengthPrefixed() const { return true; }
  virtual bool isWriteBuffered() const { return false; }
  // Resets every field to its default and creates owned members that are missing.
  virtual void initialize() {}
  // Written raw at the start of a file and checked on reading; empty means none.
  virtual std::string fileHeader() const { return ""; }

  void load();
  void load(const std::string& name);
  // The map translates stored class names (TString to TString); not owned.
  void load(const std::string& name, const THashtable* classNameMap);
  void load(TFile& file);

  void store();
  void store(const std::string& name);
  void store(TFile& file);

  void print();
  void print(const std::string& name);
  void print(TTextFile& file);
  void printAppend();
  void printAppend(const std::string& name);
  void printAppend(TTextFile& file);

  void setFileName(const std::string& name) { extras().fileName = name; }
  const std::string& getFileName() const;

 private:
  // The file name and the handlers are seldom set; kept aside, they cost
  // each of the millions of objects in a database one pointer, not 130 bytes.
  struct Extras {
    std::string fileName;
    FileHandler onRead;
    FileHandler onWrite;
    PrintHandler onPrint;
  };
  Extras& extras() {
    if (!extras_) extras_ = std::make_unique<Extras>();
    return *extras_;
  }

  std::unique_ptr<Extras> extras_;
};
