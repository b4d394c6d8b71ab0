// File names typed or chosen in Windows form ("\" separators) name the same
// file here: the one place where a name becomes a path of this system.
#pragma once

#include <string>
#include <string_view>

inline std::string NativePath(std::string_view name) {
  std::string path(name);
#ifndef _WIN32
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
#endif
  return path;
}
