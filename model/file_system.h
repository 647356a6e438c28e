// The file operations the reader and the writer need, behind one seam, so
// that the model carries no platform header and tests can make any single
// operation fail. Every error text is the system's own message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brx {

// Receives the bytes of a file front to back; false stops the writing.
using ByteSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// A file being read, or any other source of bytes read front to back.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes and reports how many were read: fewer than asked
  // is not the end in itself; 0 is the end.
  virtual bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) = 0;
};

// Bytes already in memory, read as a file.
class MemoryInputFile : public InputFile {
 public:
  MemoryInputFile(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override;

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

// A file being written. Destroying it closes it if Close was not called.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes up to `size` bytes and reports how many were written; a count
  // below `size` is not an error in itself.
  virtual bool Write(const std::uint8_t* data, std::size_t size, std::size_t& written,
                     std::string& error) = 0;
  // Pushes the written bytes through to the disk.
  virtual bool Flush(std::string& error) = 0;
  virtual bool Close(std::string& error) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens an existing file for reading, letting others read it meanwhile but
  // not write it; null on failure.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path,
                                                    std::string& error) = 0;
  // Reads the file's first `limit` bytes (all of it when it is shorter).
  bool ReadFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                std::string& error);
  // The file that a save to `path` replaces: symbolic links are followed to
  // the end of their chain, so that a save changes what the link names and
  // keeps the link; that file need not exist yet. False, with the reason,
  // for a file a save must leave alone: one that is not a regular file, or
  // that the user could not write in place.
  virtual bool ResolveSaveTarget(const std::string& path, std::string& target,
                                 std::string& error) = 0;
  // Creates a file that must not exist yet, to take the place of `replaces`:
  // when that file exists, the new one keeps what the platform records of
  // who may use it (permission bits, and owner and group where the process
  // may set them); otherwise it gets what a new file gets. Null on failure,
  // with `already_exists` telling a name in use from any other failure.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path,
                                                const std::string& replaces, bool& already_exists,
                                                std::string& error) = 0;
  // Puts `from` in the place of `to` in one atomic step, replacing `to`.
  virtual bool Replace(const std::string& from, const std::string& to, std::string& error) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Whether two names reach one and the same existing file, links followed.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

}  // namespace brx
