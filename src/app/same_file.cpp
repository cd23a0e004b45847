#include "app/same_file.h"

#include "basis/exceptions.h"
#include "platform/os_file.h"

void refuseSameFile(const std::string& prefix, const std::vector<std::string>& inputs,
                    const std::string& output) {
  for (const std::string& input : inputs) {
    if (platform::sameFile(input, output)) {
      throw IllegalArgumentException(prefix + "'" + input + "' and '" + output +
                                     "' are the same file: the output would replace the input.");
    }
  }
}
