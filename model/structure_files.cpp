// Loading and saving a StructureSet through the file seam.
#include <filesystem>
#include <string>
#include <vector>

#include "model/file_system.h"
#include "model/structure_data.h"
#include "model/structure_set.h"

namespace brx {
namespace {

void SetReason(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
}

bool HasName(const char* name) {
  return name && *name;
}

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
                                            std::string& temporary, std::string& reason) {
  constexpr int kAttempts = 100;
  std::string error;
  for (int n = 0; n < kAttempts; ++n) {
    temporary = target + "." + std::to_string(n) + ".tmp";
    bool already_exists = false;
    if (auto file = files.CreateNew(temporary, target, already_exists, error)) return file;
    if (!already_exists) break;
  }
  reason = "cannot create a temporary file in " + FolderOf(target) + ": " + error +
           "; a save needs a folder it may create files in";
  return nullptr;
}

}  // namespace

bool StructureSet::LoadFromFile(const char* name, std::string* reason) {
  return LoadFromFile(name, SystemFileSystem(), reason);
}

bool StructureSet::LoadFromFile(const char* name, FileSystem& files, std::string* reason) {
  Clear();
  if (!HasName(name)) {
    SetReason(reason, "no file name was given");
    return false;
  }
  std::string error;
  const auto file = files.OpenForReading(name, error);
  if (!file) {
    SetReason(reason, "cannot open the file: " + error);
    return false;
  }
  return ParseStructureData(*file, *this, reason);
}

bool StructureSet::SaveToFile(const char* name, std::string* reason) const {
  return SaveToFile(name, SystemFileSystem(), reason);
}

bool StructureSet::SaveToFile(const char* name, FileSystem& files, std::string* reason) const {
  if (!FitsTheFormat(*this, reason)) return false;
  if (!HasName(name)) {
    SetReason(reason, "no file name was given");
    return false;
  }
  std::string target;
  std::string temporary;
  std::string error;
  if (!files.ResolveSaveTarget(name, target, error)) {
    SetReason(reason, "cannot write the file: " + error);
    return false;
  }
  auto file = CreateTemporary(files, target, temporary, error);
  if (!file) {
    SetReason(reason, error);
    return false;
  }
  const bool written = WriteStructureData(*this,
                                          [&](const std::uint8_t* data, std::size_t size) {
                                            return WriteAll(*file, data, size, error);
                                          }) &&
                       file->Flush(error) && file->Close(error) &&
                       files.Replace(temporary, target, error);
  if (!written) {
    file.reset();
    files.Remove(temporary);
    SetReason(reason, "cannot write the file: " + error);
    return false;
  }
  return true;
}

}  // namespace brx
