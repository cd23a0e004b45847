// convertVOSKO <version> <input-file> <output-file>
#include "convert/convert_database.h"
#include "convert/start_up.h"

int main(int argc, char** argv) {
  startUp();
  int exitCode = runConverter(argc, argv);
  shutDown();
  return exitCode;
}
