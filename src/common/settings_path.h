// The settings file path each core keeps: the host's directory + "\VDP_plugin.ini".
#pragma once

#include <cstddef>

namespace vdp {

constexpr size_t kSettingsPathSize = 3000;

// Fills path (kSettingsPathSize bytes) with directory + "\VDP_plugin.ini". A directory
// too long for the buffer is rejected: the path is left empty, so every settings read
// gives its default and nothing is written. Returns false in that case.
bool BuildSettingsPath(char* path, const char* directory);

// One key as the profile rules read it, or defaultValue when the path is empty.
int ReadSetting(const char* path, const char* section, const char* key, int defaultValue);
// Writes "%d" of value; does nothing when the path is empty.
void WriteSetting(const char* path, const char* section, const char* key, int value);

}  // namespace vdp
