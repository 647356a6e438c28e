#include "model/atomic_save.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace brx {
namespace {

// Writes every byte, going on after a partial write; a write that makes no
// progress (a full disk can report success for part of the bytes) is an error.
bool WriteAll(OutputFile& file, const std::uint8_t* data, std::size_t size, std::string& error) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t written = 0;
    if (!file.Write(data + done, size - done, written, error)) return false;
    if (written == 0) {
      error = "the disk is full: not every byte could be written";
      return false;
    }
    done += written;
  }
  return true;
}

// The folder part of a file name, as the user knows it: Windows takes both
// slashes, and the final path of a Windows file starts with the long-path
// prefix, which no user types.
std::string FolderOf(std::string path) {
  const std::string long_path = "\\\\?\\";
  if (std::filesystem::path::preferred_separator == '\\' && path.rfind(long_path, 0) == 0)
    path.erase(0, long_path.size());
  std::string separators = "/";
  separators += static_cast<char>(std::filesystem::path::preferred_separator);
  const std::size_t last = path.find_last_of(separators);
  if (last == std::string::npos) return "the current folder";
  return last == 0 ? path.substr(0, 1) : path.substr(0, last);
}

// Creates the temporary file beside the target, so that the final rename
// stays within one folder and one volume. A failure is the folder's, not the
// file's: the file itself may well be writable.
std::unique_ptr<OutputFile> CreateTemporary(FileSystem& files, const std::string& target,
                                            std::string& temporary, std::string& error) {
  constexpr int kAttempts = 100;
  std::string cause;
  for (int n = 0; n < kAttempts; ++n) {
    temporary = target + "." + std::to_string(n) + ".tmp";
    bool already_exists = false;
    if (auto file = files.CreateNew(temporary, target, already_exists, cause)) return file;
    if (!already_exists) break;
  }
  error = "cannot create a temporary file in " + FolderOf(target) + ": " + cause +
          "; a save needs a folder it may create files in";
  return nullptr;
}

}  // namespace

bool SaveAtomically(FileSystem& files, const std::string& name,
                    const std::function<bool(const ByteSink& sink)>& write, std::string& error) {
  std::string target;
  std::string temporary;
  std::string cause;
  if (!files.ResolveSaveTarget(name, target, cause)) {
    error = "cannot write the file: " + cause;
    return false;
  }
  auto file = CreateTemporary(files, target, temporary, cause);
  if (!file) {
    error = cause;
    return false;
  }
  const bool written = write([&](const std::uint8_t* data, std::size_t size) {
                         return WriteAll(*file, data, size, cause);
                       }) &&
                       file->Flush(cause) && file->Close(cause) &&
                       files.Replace(temporary, target, cause);
  if (!written) {
    file.reset();
    files.Remove(temporary);
    error = "cannot write the file: " + cause;
    return false;
  }
  return true;
}

}  // namespace brx
