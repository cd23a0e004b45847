#include "basis/p_object.h"

#include "basis/file.h"
#include "basis/text_file.h"

const std::string& TPObject::getFileName() const {
  static const std::string kNone;
  return extras_ ? extras_->fileName : kNone;
}

void TPObject::readFrom(TFile& /*file*/) {}

void TPObject::writeTo(TFile& file) {
  file.writeInt(hashCode());
  file.writeString(className());
}

void TPObject::printTo(TTextFile& file) { file.writeln(toString()); }

void TPObject::load() { load(std::string(getFileName())); }

void TPObject::load(const std::string& name) { load(name, nullptr); }

void TPObject::load(const std::string& name, const THashtable* classNameMap) {
  TFile file(name, false, fileHeader());
  file.setClassNameMap(classNameMap);
  load(file);
  file.close();
}

void TPObject::load(TFile& file) {
  initialize();
  file.beginReadBlock(isLengthPrefixed());
  if (extras_ && extras_->onRead) {
    extras_->onRead(file);
  } else {
    readFrom(file);
  }
  file.endReadBlock();
}

void TPObject::store() { store(getFileName()); }

void TPObject::store(const std::string& name) {
  TFile file(name, true, fileHeader());
  store(file);
  file.close();
}

void TPObject::store(TFile& file) {
  file.beginBlock(isLengthPrefixed(), isWriteBuffered());
  if (extras_ && extras_->onWrite) {
    extras_->onWrite(file);
  } else {
    writeTo(file);
  }
  file.endBlock();
}

void TPObject::print() { print(getFileName()); }

void TPObject::print(const std::string& name) {
  TTextFile file(name, TTextFile::modeWrite());
  print(file);
  file.close();
}

void TPObject::print(TTextFile& file) {
  if (extras_ && extras_->onPrint) {
    extras_->onPrint(file);
  } else {
    printTo(file);
  }
}

void TPObject::printAppend() { printAppend(getFileName()); }

void TPObject::printAppend(const std::string& name) {
  TTextFile file(name, TTextFile::modeAppend());
  printAppend(file);
  file.close();
}

void TPObject::printAppend(TTextFile& file) { print(file); }
