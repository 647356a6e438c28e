// The file seam on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "os/system_file_system.h"

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

// How far a chain of symbolic links is followed, as the system does.
constexpr int kMaxLinks = 40;

bool ReadLink(const std::string& path, std::string& link, std::string& error) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) {
      error = SystemMessage(errno);
      return false;
    }
    if (static_cast<std::size_t>(n) < buffer.size()) {
      link.assign(buffer.data(), static_cast<std::size_t>(n));
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Why a save leaves a file of this kind alone; empty for a regular file.
std::string NotARegularFile(mode_t mode) {
  if (S_ISREG(mode)) return std::string();
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a named pipe, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is a device, not a regular file";
}

// The new file takes the place of `replaced`: its owner and group where
// the process may give them (one's own group, or any for root), and then
// its permission bits, which a change of owner may have cut.
bool TakeOwnerAndPermissions(int fd, const struct stat& replaced, std::string& error) {
  if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0)
    static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid));
  if (::fchmod(fd, replaced.st_mode & 07777) == 0) return true;
  error = SystemMessage(errno);
  return false;
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

  bool ResolveSaveTarget(const std::string& path, std::string& target,
                         std::string& error) override {
    target = path;
    struct stat info {};
    for (int links = 0;; ++links) {
      // Nothing there (yet): creating the file tells what is wrong with the name.
      if (::lstat(target.c_str(), &info) != 0) return true;
      if (!S_ISLNK(info.st_mode)) break;
      if (links == kMaxLinks) {
        error = SystemMessage(ELOOP);
        return false;
      }
      std::string link;
      if (!ReadLink(target, link, error)) return false;
      target = !link.empty() && link[0] == '/' ? link : FolderOf(target) + "/" + link;
    }
    error = NotARegularFile(info.st_mode);
    if (!error.empty()) return false;
    if (::access(target.c_str(), W_OK) == 0) return true;
    error = errno == EACCES ? "the file is read-only" : SystemMessage(errno);
    return false;
  }

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, const std::string& replaces,
                                        bool& already_exists, std::string& error) override {
    struct stat replaced {};
    const bool replacing = ::stat(replaces.c_str(), &replaced) == 0;
    // Private until it has the permissions of the file it replaces.
    const mode_t mode = replacing ? 0600 : 0666;
    const int fd = Retrying(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode); });
    already_exists = fd < 0 && errno == EEXIST;
    if (fd < 0) {
      error = SystemMessage(errno);
      return nullptr;
    }
    if (replacing && !TakeOwnerAndPermissions(fd, replaced, error)) {
      ::close(fd);
      ::unlink(path.c_str());
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

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace brx
