// The renderer the plugin starts with: key "dot by dot" of section [RENDERER] in
// VDP_plugin.ini in the settings directory, which the plugin reads when it starts.
#pragma once

#include <string>

namespace vdphost {

// Sets the key to 1 (dot by dot) or 0 (OpenGL), keeping every other line of the file, by
// the rules of the Windows profile calls the plugin uses: names match without regard to
// case, a missing key is added at the end of its section, a missing section at the end of
// the file, lines end in CR LF. False when the file cannot be written.
bool WriteRendererSetting(const std::string& settingsDir, bool dotByDot);

// Whether the plugin will start dot by dot: the key's value read as the plugin reads it
// (absent or not a number: OpenGL).
bool ReadsDotByDot(const std::string& settingsDir);

}  // namespace vdphost
