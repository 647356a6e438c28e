// The operating system's files behind the model's file seam. The program,
// its tools and benchmarks hand this to the model; the model never reaches
// for it itself.
#pragma once

#include "model/file_system.h"

namespace brx {

// The operating system's files.
FileSystem& SystemFileSystem();

}  // namespace brx
