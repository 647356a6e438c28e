// The operating system's files behind the model's file seam. The program,
// its tools and benchmarks hand this to the model; the model never reaches
// for it itself.
#pragma once

#include <string>

#include "model/file_system.h"

namespace brx {

// The operating system's files.
FileSystem& SystemFileSystem();

// Whether two names reach one and the same existing file, links followed.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace brx
