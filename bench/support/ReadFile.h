#pragma once
// A file's bytes as a benchmark compares them with what the device sent.

#include <fstream>
#include <sstream>
#include <string>

namespace bench {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace bench
