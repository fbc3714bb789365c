// Writes RGBA pictures as PNG files.
#pragma once

#include <cstdint>
#include <string>

namespace vdphost {

// texels: width x height RGBA, top row first. False when the file could not be written.
bool WritePng(const std::string& path, const uint32_t* texels, int width, int height);

}  // namespace vdphost
