// The file operations the reader and the writer need, behind one seam, so
// that the model carries no platform header and tests can make any single
// operation fail. Every error text is the system's own message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brx {

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
  // Reads the file's first `limit` bytes (all of it when it is shorter).
  virtual bool ReadFile(const std::string& path, std::size_t limit,
                        std::vector<std::uint8_t>& bytes, std::string& error) = 0;
  // Creates a file that must not exist yet; null on failure, with
  // `already_exists` telling a name in use from any other failure.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path, bool& already_exists,
                                                std::string& error) = 0;
  // Puts `from` in the place of `to` in one atomic step, replacing `to`.
  virtual bool Replace(const std::string& from, const std::string& to, std::string& error) = 0;
  virtual bool Remove(const std::string& path) = 0;
};

// The operating system's files.
FileSystem& SystemFileSystem();

}  // namespace brx
