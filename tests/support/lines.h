// What a program wrote, line by line.
#pragma once

#include <sstream>
#include <string>
#include <vector>

// The lines of `text` that hold something, without their line ends.
inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}
