// TFileIO2_0: the transfers of the 2.0 database file, shared with 1.5 (see
// record_file.h).
#pragma once

#include "data/legacy/records/record_file.h"

class TFileIO2_0 : public legacy::RecordIO {};
