// convertVOSKO <version> <input-file> <output-file>
#include "app/start_up.h"
#include "convert/convert_database.h"

int main(int argc, char** argv) {
  startUp();
  int exitCode = runConverter(argc, argv);
  shutDown();
  return exitCode;
}
