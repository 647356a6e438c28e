// Loading and saving a StructureSet through the file seam.
#include "model/structure_files.h"

#include <string>
#include <vector>

#include "model/structure_data.h"

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

// Creates the temporary file beside the target, so that the final rename
// stays within one folder and one volume.
std::unique_ptr<OutputFile> CreateTemporary(FileSystem& files, const std::string& target,
                                            std::string& temporary, std::string& error) {
  constexpr int kAttempts = 100;
  for (int n = 0; n < kAttempts; ++n) {
    temporary = target + "." + std::to_string(n) + ".tmp";
    bool already_exists = false;
    if (auto file = files.CreateNew(temporary, target, already_exists, error)) return file;
    if (!already_exists) break;
  }
  return nullptr;
}

}  // namespace

bool LoadFromFile(StructureSet& set, const char* name, FileSystem& files, std::string* reason) {
  set.Clear();
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
  return ParseStructureData(*file, set, reason);
}

bool SaveToFile(const StructureSet& set, const char* name, FileSystem& files, std::string* reason) {
  if (!FitsTheFormat(set, reason)) return false;
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
    SetReason(reason, "cannot write the file: " + error);
    return false;
  }
  const bool written = WriteStructureData(set,
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
