#include "app/same_file.h"

#include <unistd.h>

#include "basis/exceptions.h"
#include "platform/os_file.h"

void refuseSameFile(const std::string& prefix, const std::vector<std::string>& inputs,
                    const std::string& output, bool toStandardOutput) {
  for (const std::string& input : inputs) {
    if (toStandardOutput ? platform::sameFile(input, STDOUT_FILENO) : platform::sameFile(input, output)) {
      throw IllegalArgumentException(
          prefix + "'" + input + "' and " +
          (toStandardOutput
               ? std::string("standard output are the same file: the output would overwrite the input.")
               : "'" + output + "' are the same file: the output would replace the input."));
    }
  }
}
