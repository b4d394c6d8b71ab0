// Initialisation files: GetPrivateProfileStringA and WritePrivateProfileStringA
// as Win32 documents them, on the file's bytes ("[section]" lines, then
// "key=value" lines; names compare without case and surrounding blanks).
// A file is rewritten whole, into a new file renamed over it when complete.
#include <stdio.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core.h"

namespace win32 {
namespace {

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

bool SameName(std::string_view a, std::string_view b) {
  const std::string x = Trimmed(a), y = Trimmed(b);
  return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
           return std::tolower(static_cast<unsigned char>(p)) ==
                  std::tolower(static_cast<unsigned char>(q));
         });
}

// The file's lines without their line ends; none when it cannot be read.
std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The name of a "[section]" line.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string text = Trimmed(line);
  if (text.empty() || text[0] != '[') return std::nullopt;
  const size_t end = text.find(']');
  return text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

// The key of a "key=value" line.
std::optional<std::string> KeyOf(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos || SectionName(line)) return std::nullopt;
  return Trimmed(std::string_view(line).substr(0, equals));
}

// Where a section is: its "[name]" line and the lines [first, last) of its keys.
struct Section {
  bool found = false;
  size_t header = 0, first = 0, last = 0;
};

Section FindSection(const std::vector<std::string>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string> name = SectionName(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return {true, i, i + 1, end};
  }
  return {};
}

// Names, each ended by a zero, and one more zero after the last; cut to fit
// with both zeros kept, as Windows does. Gives the length without the last zero.
DWORD CopyNames(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  if (size == 0) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  std::string all;
  for (const std::string& name : names) all += name + '\0';
  if (all.size() + 1 > size) {
    all.resize(size - 2);
    all += '\0';
  }
  std::memcpy(buffer, all.data(), all.size());
  buffer[all.size()] = '\0';
  return static_cast<DWORD>(all.size());
}

DWORD CopyValue(std::string value, LPSTR buffer, DWORD size) {
  if (size == 0 || buffer == nullptr) return 0;
  if (value.size() > size - 1) value.resize(size - 1);
  std::memcpy(buffer, value.c_str(), value.size() + 1);
  return static_cast<DWORD>(value.size());
}

// Enclosing quotes of one kind come off.
std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  const std::string temporary = path + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    for (const std::string& line : lines) file << line << "\r\n";
    file.close();
    if (!file) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                                      DWORD size, LPCSTR fileName) {
  if (buffer == nullptr || fileName == nullptr) return 0;
  const std::vector<std::string> lines = ReadLines(NativePath(fileName));
  if (section == nullptr) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
      if (const std::optional<std::string> name = SectionName(line))
        names.push_back(Trimmed(*name));
    }
    return CopyNames(names, buffer, size);
  }
  const auto [found, header, first, last] = FindSection(lines, section);
  if (key == nullptr) {
    std::vector<std::string> keys;
    for (size_t i = first; i < last; ++i) {
      if (const std::optional<std::string> name = KeyOf(lines[i])) keys.push_back(*name);
    }
    return CopyNames(keys, buffer, size);
  }
  for (size_t i = first; i < last; ++i) {
    const std::optional<std::string> name = KeyOf(lines[i]);
    if (name && SameName(*name, key)) {
      return CopyValue(Unquoted(Trimmed(lines[i].substr(lines[i].find('=') + 1))), buffer, size);
    }
  }
  std::string value = fallback ? fallback : "";
  value.erase(value.find_last_not_of(' ') + 1);  // the default loses its trailing blanks
  return CopyValue(value, buffer, size);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (section == nullptr || fileName == nullptr) return FALSE;
  const std::string path = NativePath(fileName);
  std::vector<std::string> lines = ReadLines(path);
  const auto [found, header, first, last] = FindSection(lines, section);
  if (key == nullptr) {  // the whole section goes
    if (found) {
      lines.erase(lines.begin() + static_cast<long>(header),
                  lines.begin() + static_cast<long>(last));
    }
    return WriteLines(path, lines);
  }
  size_t at = last;
  for (size_t i = first; i < last; ++i) {
    const std::optional<std::string> name = KeyOf(lines[i]);
    if (name && SameName(*name, key)) {
      at = i;
      break;
    }
  }
  const bool keyFound = at != last;
  if (value == nullptr) {  // the key goes
    if (keyFound) lines.erase(lines.begin() + static_cast<long>(at));
    return WriteLines(path, lines);
  }
  const std::string line = Trimmed(key) + "=" + value;
  if (keyFound) {
    lines[at] = line;
  } else if (found) {
    // After the section's last key, before any blank lines that end it.
    size_t end = last;
    while (end > first && Trimmed(lines[end - 1]).empty()) --end;
    lines.insert(lines.begin() + static_cast<long>(end), line);
  } else {
    lines.push_back("[" + Trimmed(section) + "]");
    lines.push_back(line);
  }
  return WriteLines(path, lines);
}

}  // extern "C"
