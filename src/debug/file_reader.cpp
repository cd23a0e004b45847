#include "debug/file_reader.h"

#include <utility>

TFileReader::TFileReader(std::string fileName) : fileName_(std::move(fileName)) {}
