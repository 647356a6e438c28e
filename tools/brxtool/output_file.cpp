#include "tools/brxtool/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace brx::tool {

bool WriteWholeFile(const std::string& path, const std::function<bool(std::ostream&)>& write,
                    std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) {
    const bool written = write(file);
    file.close();
    if (written && file) return true;
    std::remove(path.c_str());
  }
  error = std::string("cannot write the file: ") + std::strerror(errno);
  return false;
}

}  // namespace brx::tool
