// The file seam on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/file_system.h"

namespace brx {
namespace {

std::string SystemMessage(int code) {
  return std::strerror(code);
}

// Retries a call that a signal interrupted.
template <typename Call>
auto Retrying(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

class PosixInputFile : public InputFile {
 public:
  explicit PosixInputFile(int fd) : fd_(fd) {}
  ~PosixInputFile() override { ::close(fd_); }

  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    const ssize_t n = Retrying([&] { return ::read(fd_, data, size); });
    if (n < 0) {
      error = SystemMessage(errno);
      return false;
    }
    got = static_cast<std::size_t>(n);
    return true;
  }

 private:
  int fd_;
};

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool Write(const std::uint8_t* data, std::size_t size, std::size_t& written,
             std::string& error) override {
    const ssize_t n = Retrying([&] { return ::write(fd_, data, size); });
    if (n < 0) {
      error = SystemMessage(errno);
      return false;
    }
    written = static_cast<std::size_t>(n);
    return true;
  }

  bool Flush(std::string& error) override {
    if (Retrying([&] { return ::fsync(fd_); }) == 0) return true;
    error = SystemMessage(errno);
    return false;
  }

  bool Close(std::string& error) override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) == 0) return true;
    error = SystemMessage(errno);
    return false;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, std::string& error) override {
    const int fd = Retrying([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0) {
      error = SystemMessage(errno);
      return nullptr;
    }
    // A folder opens, but is no file.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(fd);
      error = SystemMessage(EISDIR);
      return nullptr;
    }
    return std::make_unique<PosixInputFile>(fd);
  }

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, bool& already_exists,
                                        std::string& error) override {
    const int fd = Retrying(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
    already_exists = fd < 0 && errno == EEXIST;
    if (fd < 0) {
      error = SystemMessage(errno);
      return nullptr;
    }
    return std::make_unique<PosixOutputFile>(fd);
  }

  bool Replace(const std::string& from, const std::string& to, std::string& error) override {
    if (::rename(from.c_str(), to.c_str()) != 0) {
      error = SystemMessage(errno);
      return false;
    }
    // Make the new name itself durable; a failure here cannot undo the rename.
    const int folder = ::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
    return true;
  }

  bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace brx
