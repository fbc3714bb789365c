// Standard C++ file I/O only, so that vdphost and vdphost.exe share it.
#include "renderer_setting.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace vdphost {

namespace {

constexpr char kSection[] = "RENDERER", kSectionLine[] = "[RENDERER]";
constexpr char kKey[] = "dot by dot";

std::string SettingsFile(const std::string& dir) { return dir + "/VDP_plugin.ini"; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

// "[name]" gives true and the name.
bool SectionName(const std::string& line, std::string& name) {
  const std::string t = Trim(line);
  const size_t close = t.find(']');
  if (t.size() < 2 || t.front() != '[' || close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

bool IsKey(const std::string& line, std::string& value) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos || !SameName(Trim(line.substr(0, eq)), kKey)) return false;
  value = Trim(line.substr(eq + 1));
  return true;
}

// Binary mode: the CR of each line is the file's own on every target.
std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

bool WriteRendererSetting(const std::string& settingsDir, bool dotByDot) {
  const std::string path = SettingsFile(settingsDir);
  std::vector<std::string> lines = ReadLines(path);
  const std::string entry = std::string(kKey) + "=" + (dotByDot ? "1" : "0");
  bool inSection = false, sectionFound = false, written = false;
  size_t lastOfSection = 0;
  for (size_t i = 0; i < lines.size() && !written; ++i) {
    std::string name, value;
    if (SectionName(lines[i], name)) {
      inSection = SameName(name, kSection);
      if (inSection) {
        sectionFound = true;
        lastOfSection = i;
      }
    } else if (inSection && IsKey(lines[i], value)) {
      lines[i] = entry;
      written = true;
    } else if (inSection && !Trim(lines[i]).empty()) {
      lastOfSection = i;
    }
  }
  if (!written && sectionFound)
    lines.insert(lines.begin() + static_cast<long>(lastOfSection) + 1, entry);
  if (!written && !sectionFound) {
    lines.push_back(kSectionLine);
    lines.push_back(entry);
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out);
}

bool ReadsDotByDot(const std::string& settingsDir) {
  bool inSection = false;
  for (const std::string& line : ReadLines(SettingsFile(settingsDir))) {
    std::string name, value;
    if (SectionName(line, name))
      inSection = SameName(name, kSection);
    else if (inSection && IsKey(line, value))
      return std::strtol(value.c_str(), nullptr, 10) != 0;
  }
  return false;
}

}  // namespace vdphost
