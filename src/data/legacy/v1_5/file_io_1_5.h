// TFileIO1_5: the transfers of the 1.5 database file, byte for byte and
// message for message those of 2.0 (see data/legacy/records/record_file.h).
#pragma once

#include "data/legacy/records/record_file.h"

class TFileIO1_5 : public legacy::RecordIO {};
