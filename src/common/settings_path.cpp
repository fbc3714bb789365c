#include "common/settings_path.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace vdp {

namespace {
constexpr char kSettingsFileName[] = "\\VDP_plugin.ini";
}

bool BuildSettingsPath(char* path, const char* directory) {
  path[0] = '\0';
  if (directory == nullptr) return false;
  const size_t dirLength = std::strlen(directory);
  if (dirLength + sizeof(kSettingsFileName) > kSettingsPathSize) return false;
  std::memcpy(path, directory, dirLength);
  std::memcpy(path + dirLength, kSettingsFileName, sizeof(kSettingsFileName));
  return true;
}

int ReadSetting(const char* path, const char* section, const char* key, int defaultValue) {
  if (path[0] == '\0') return defaultValue;
  return platform::GetProfileInt(section, key, defaultValue, path);
}

void WriteSetting(const char* path, const char* section, const char* key, int value) {
  if (path[0] == '\0') return;
  char text[16];
  std::snprintf(text, sizeof(text), "%d", value);
  platform::WriteProfileString(section, key, text, path);
}

}  // namespace vdp
