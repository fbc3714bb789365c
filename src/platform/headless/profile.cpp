// Private-profile (INI) files with the Windows rules: section and key names match
// without regard to case, a value that does not parse reads as 0, and a write keeps
// every other line of the file. Backslashes in paths are directory separators.
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

std::string NativePath(const char* path) {
  std::string p(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// "[name]" gives name; other lines give false.
bool SectionName(const std::string& line, std::string& name) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  const size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Leading blanks, an optional sign and decimal digits; anything else reads as 0.
int ParseProfileInt(const std::string& text) {
  const char* p = text.c_str();
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = (*p++ == '-');
  long long value = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    value = value * 10 + (*p++ - '0');
    if (value > 0xFFFFFFFFLL) value = 0xFFFFFFFFLL;
  }
  const uint32_t bits = static_cast<uint32_t>(negative ? -value : value);
  return static_cast<int>(bits);
}

}  // namespace

namespace platform {

int GetProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
  std::string current;
  bool inSection = false;
  for (const std::string& line : ReadLines(NativePath(path))) {
    std::string name, k, v;
    if (SectionName(line, name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, k, v) && SameName(k, key)) {
      return ParseProfileInt(v);
    }
  }
  return defaultValue;
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* path) {
  const std::string file = NativePath(path);
  std::vector<std::string> lines = ReadLines(file);
  const std::string entry = std::string(key) + "=" + value;
  bool inSection = false, sectionFound = false, written = false;
  size_t lastOfSection = 0;
  for (size_t i = 0; i < lines.size() && !written; ++i) {
    std::string name, k, v;
    if (SectionName(lines[i], name)) {
      inSection = SameName(name, section);
      if (inSection) {
        sectionFound = true;
        lastOfSection = i;
      }
    } else if (inSection) {
      if (KeyOf(lines[i], k, v) && SameName(k, key)) {
        lines[i] = entry;
        written = true;
      } else if (!Trim(lines[i]).empty()) {
        lastOfSection = i;
      }
    }
  }
  if (!written) {
    if (sectionFound) {
      lines.insert(lines.begin() + static_cast<long>(lastOfSection) + 1, entry);
    } else {
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(entry);
    }
  }
  std::ofstream out(file, std::ios::trunc);
  if (!out) return false;
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out);
}

void DeleteFileNamed(const char* name) { unlink(NativePath(name).c_str()); }

}  // namespace platform
