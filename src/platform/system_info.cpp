#include "platform/system_info.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/os_file.h"

// The build passes the configuration directory of its install prefix; the
// conventional place stands in when this file is compiled without it.
#ifndef VOSKO_SYSCONFDIR
#define VOSKO_SYSCONFDIR "/etc"
#endif

namespace platform {
namespace {

std::string& applicationPathOverride() {
  static std::string path;
  return path;
}

std::string& configurationDirectoryOverride() {
  static std::string path;
  return path;
}

std::string withSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

}  // namespace

std::string applicationPath() {
  if (!applicationPathOverride().empty()) return applicationPathOverride();
  std::vector<char> buf(4096);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "./";
  std::string exe(buf.data(), static_cast<size_t>(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

void setApplicationPathForTesting(const std::string& path) {
  applicationPathOverride() = path.empty() ? std::string() : withSlash(path);
}

std::string configurationDirectory() {
  if (!configurationDirectoryOverride().empty()) return configurationDirectoryOverride();
  return VOSKO_SYSCONFDIR "/vosko/";
}

void setConfigurationDirectoryForTesting(const std::string& path) {
  configurationDirectoryOverride() = path.empty() ? std::string() : withSlash(path);
}

std::string configurationFile(const std::string& name) {
  const std::string beside = applicationPath() + name;
  if (fileExists(beside)) return beside;
  const std::string installed = configurationDirectory() + name;
  if (fileExists(installed)) return installed;
  return beside;
}

// errno 0 is no error to tell of: a report then has no system message at all.
std::string lastErrorText() { return errno != 0 ? std::strerror(errno) : std::string(); }

}  // namespace platform
