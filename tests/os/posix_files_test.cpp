// Saving against the real POSIX file system: what a save keeps of its target
// (symbolic links, permission bits, owner and group), the targets it leaves
// alone, permission failures (root may write anyway, so those run as an
// unprivileged user; the build adds such a run when it can), a name without a
// folder, and a file that cannot be read.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "model/structure_data.h"
#include "model/structure_files.h"
#include "model/structure_set.h"
#include "os/system_file_system.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"

namespace brx {
namespace {

using testing::ReadBytes;
using testing::Serialized;
using testing::TempFolder;
using testing::WriteBytes;

// The user and group "nobody" of Debian.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

struct stat Lstat(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

std::string LinkText(const std::string& path) {
  std::error_code error;
  return std::filesystem::read_symlink(path, error).string();
}

class Unprivileged : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() == 0) GTEST_SKIP() << "root writes anyway; this runs as an unprivileged user";
  }
};

// What only root can set up: files of another user, device nodes. The run
// as an unprivileged user leaves these out by name.
class AsRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to set up";
  }

  // Saves as "nobody" in a child process; the reason when it failed, or
  // "saved".
  static std::string SaveAsNobody(const std::string& path) {
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
      close(channel[0]);
      std::string reason = "saved";
      if (setgroups(0, nullptr) != 0 || setgid(kNoGroup) != 0 || setuid(kNobody) != 0)
        reason = "cannot become nobody";
      else if (!SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason))
        reason = reason.empty() ? "failed without a reason" : reason;
      const ssize_t written = write(channel[1], reason.data(), reason.size());
      _exit(written == static_cast<ssize_t>(reason.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string reason;
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
      reason.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return reason;
  }
};

TEST(PosixFiles, ASaveWritesThroughSymbolicLinksAndKeepsThem) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // name -> what it names
    std::string saved;                                       // the name the save is given
    std::string written;                                     // the file that gets the bytes
    bool existed;
    std::vector<std::string> names;  // in the folder afterwards, sorted
  };
  TempFolder folder;
  const std::string absolute = folder.File("real.brx");
  const std::vector<Case> cases{
      {"a link beside its file",
       {{"link.brx", "real.brx"}},
       "link.brx",
       "real.brx",
       true,
       {"link.brx", "real.brx", "sub"}},
      {"a chain, one link absolute",
       {{"first.brx", absolute}, {"second.brx", "first.brx"}},
       "second.brx",
       "real.brx",
       true,
       {"first.brx", "real.brx", "second.brx", "sub"}},
      {"a link into a folder",
       {{"link.brx", "sub/inner.brx"}},
       "link.brx",
       "sub/inner.brx",
       true,
       {"link.brx", "sub"}},
      {"a link longer than the first buffer it is read into",
       {{"link.brx", "sub/" + std::string(300, '/') + "inner.brx"}},
       "link.brx",
       "sub/inner.brx",
       true,
       {"link.brx", "sub"}},
      {"a dangling link",
       {{"link.brx", "made.brx"}},
       "link.brx",
       "made.brx",
       false,
       {"link.brx", "made.brx", "sub"}},
  };
  const StructureSet document = testing::PatternDocument({2, 1});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder.path());
    std::filesystem::create_directories(folder.path() / "sub");
    if (c.existed) WriteBytes(folder.File(c.written), {'o', 'l', 'd'});
    for (const auto& [name, names] : c.links)
      std::filesystem::create_symlink(names, folder.File(name));

    std::string reason;
    ASSERT_TRUE(SaveToFile(document, folder.File(c.saved).c_str(), SystemFileSystem(), reason))
        << reason;
    EXPECT_EQ(ReadBytes(folder.File(c.written)), Serialized(document));
    for (const auto& [name, names] : c.links) EXPECT_EQ(LinkText(folder.File(name)), names);
    EXPECT_EQ(folder.Names(), c.names);
  }
}

TEST(PosixFiles, ASaveKeepsPermissionBitsAndANewFileGetsTheUsualOnes) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  for (const mode_t mode : {0600, 0640, 0664, 0604, 0660}) {
    WriteBytes(path, {1});
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    std::string reason;
    ASSERT_TRUE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason))
        << reason;
    EXPECT_EQ(Lstat(path).st_mode & 07777, mode) << std::oct << mode;
    EXPECT_EQ(Lstat(path).st_uid, geteuid());
  }
  const mode_t mask = umask(022);
  umask(mask);
  const std::string fresh = folder.File("new.brx");
  std::string reason;
  ASSERT_TRUE(SaveToFile(testing::PatternDocument({1}), fresh.c_str(), SystemFileSystem(), reason))
      << reason;
  EXPECT_EQ(Lstat(fresh).st_mode & 07777, 0666 & ~mask);
}

// A target that is not a regular file is refused before anything is
// written, and stays what it was.
TEST(PosixFiles, ATargetThatIsNotARegularFileIsLeftAlone) {
  TempFolder folder;
  struct Case {
    std::string name;
    std::function<bool(const std::string&)> make;
    std::string reason;
  };
  const std::vector<Case> cases{
      {"folder", [](const std::string& path) { return mkdir(path.c_str(), 0755) == 0; },
       "it is a folder, not a file"},
      {"fifo", [](const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; },
       "it is a named pipe, not a regular file"},
      {"socket",
       [](const std::string& path) {
         const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         path.copy(address.sun_path, sizeof address.sun_path - 1);
         const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
         close(fd);
         return bound;
       },
       "it is a socket, not a regular file"},
      {"link loop",
       [](const std::string& path) { return symlink(path.c_str(), path.c_str()) == 0; },
       std::strerror(ELOOP)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File(c.name);
    ASSERT_TRUE(c.make(path));
    const mode_t type = Lstat(path).st_mode & S_IFMT;
    // Also through a link, which must not be replaced either.
    for (const std::string& saved : {path, folder.File(c.name + "-link")}) {
      if (saved != path) std::filesystem::create_symlink(path, saved);
      std::string reason;
      EXPECT_FALSE(
          SaveToFile(testing::PatternDocument({1}), saved.c_str(), SystemFileSystem(), reason));
      EXPECT_EQ(reason, "cannot write the file: " + c.reason);
      EXPECT_EQ(Lstat(path).st_mode & S_IFMT, type);
    }
    EXPECT_EQ(LinkText(folder.File(c.name + "-link")), path);
  }
  EXPECT_EQ(folder.Names().size(), 2 * cases.size());
}

TEST_F(AsRoot, ADeviceIsLeftAlone) {
  TempFolder folder;
  const std::string path = folder.File("null");
  ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  std::string reason;
  EXPECT_FALSE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason));
  EXPECT_EQ(reason, "cannot write the file: it is a device, not a regular file");
  EXPECT_TRUE(S_ISCHR(Lstat(path).st_mode));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"null"});
}

TEST_F(AsRoot, ASaveKeepsTheOwnerAndGroupOfAnotherUsersFile) {
  TempFolder folder;
  const std::string path = folder.File("theirs.brx");
  WriteBytes(path, {1});
  ASSERT_EQ(chown(path.c_str(), kNobody, kNoGroup), 0);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  std::string reason;
  ASSERT_TRUE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason))
      << reason;
  const struct stat info = Lstat(path);
  EXPECT_EQ(info.st_uid, kNobody);
  EXPECT_EQ(info.st_gid, kNoGroup);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A folder anyone may write lets anyone rename over a file in it; the
// save must still refuse a file its user may not write.
TEST_F(AsRoot, AnotherUsersFileInAFolderAnyoneMayWriteIsRefused) {
  TempFolder folder;
  ASSERT_EQ(chmod(folder.path().c_str(), 01777), 0);
  const std::string path = folder.File("roots.brx");
  WriteBytes(path, {'o', 'l', 'd'});
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  EXPECT_EQ(SaveAsNobody(path), "cannot write the file: the file is read-only");
  EXPECT_EQ(ReadBytes(path), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(Lstat(path).st_uid, 0u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"roots.brx"});
}

TEST_F(Unprivileged, AReadOnlyFileIsRefusedAndKeptAsItWas) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, {'o', 'l', 'd'});
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  std::string reason;
  EXPECT_FALSE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason));
  EXPECT_EQ(reason, "cannot write the file: the file is read-only");
  EXPECT_EQ(ReadBytes(path), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(Lstat(path).st_mode & 07777, 0444u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

TEST_F(Unprivileged, ReadOnlyFolderKeepsTheTargetAndLeavesNothing) {
  TempFolder folder;
  const std::string path = folder.File("a.brx");
  WriteBytes(path, {'o', 'l', 'd'});
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
  std::string reason;
  const bool saved =
      SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason);
  chmod(folder.path().c_str(), 0755);
  EXPECT_FALSE(saved);
  // The file itself is writable: the message must point at the folder.
  EXPECT_EQ(reason, "cannot create a temporary file in " + folder.path().string() +
                        ": Permission denied; a save needs a folder it may create files in");
  EXPECT_EQ(ReadBytes(path), testing::Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

TEST_F(Unprivileged, UnreadableFileSaysWhy) {
  TempFolder folder;
  const std::string path = folder.File("secret.brx");
  std::string reason;
  ASSERT_TRUE(SaveToFile(testing::PatternDocument({1}), path.c_str(), SystemFileSystem(), reason))
      << reason;
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  StructureSet set;
  EXPECT_FALSE(LoadFromFile(set, path.c_str(), SystemFileSystem(), reason));
  EXPECT_EQ(reason, "cannot open the file: Permission denied");
}

TEST(PosixFiles, SameFileFollowsLinksAndTellsFilesApart) {
  TempFolder folder;
  const std::string a = folder.File("a.json");
  WriteBytes(a, {1});
  WriteBytes(folder.File("b.json"), {1});
  std::filesystem::create_symlink("a.json", folder.File("soft"));
  std::filesystem::create_hard_link(a, folder.File("hard"));
  EXPECT_TRUE(SystemFileSystem().SameFile(a, a));
  EXPECT_TRUE(SystemFileSystem().SameFile(a, folder.File("soft")));
  EXPECT_TRUE(SystemFileSystem().SameFile(folder.File("hard"), a));
  EXPECT_TRUE(SystemFileSystem().SameFile(a, folder.path().string() + "/./a.json"));
  EXPECT_FALSE(SystemFileSystem().SameFile(a, folder.File("b.json")));
  EXPECT_FALSE(SystemFileSystem().SameFile(a, folder.File("missing")));
  EXPECT_FALSE(SystemFileSystem().SameFile(folder.File("missing"), folder.File("missing")));
}

TEST(PosixFiles, ANameWithoutAFolderIsInTheCurrentFolder) {
  TempFolder folder;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const StructureSet document = testing::PatternDocument({2, 0});
  std::string reason;
  const bool saved = SaveToFile(document, "a.brx", SystemFileSystem(), reason);
  StructureSet loaded;
  const bool loaded_ok = LoadFromFile(loaded, "a.brx", SystemFileSystem(), reason);
  std::filesystem::current_path(before);
  EXPECT_TRUE(saved) << reason;
  EXPECT_TRUE(loaded_ok) << reason;
  EXPECT_EQ(ReadBytes(folder.File("a.brx")), Serialized(document));
  EXPECT_EQ(loaded.StructureCount(), 2u);
  EXPECT_EQ(loaded.TileCount(0), 2u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.brx"});
}

TEST(PosixFiles, AFileThatOpensButCannotBeReadSaysWhy) {
  // A process's own memory opens as a file, and reading it from address 0,
  // which nothing maps, fails with an I/O error as a failing disk would.
  StructureSet set = testing::PatternDocument({1});
  std::string reason;
  EXPECT_FALSE(LoadFromFile(set, "/proc/self/mem", SystemFileSystem(), reason));
  EXPECT_EQ(reason, "cannot read the file: Input/output error");
  EXPECT_EQ(set.StructureCount(), 0u);
}

}  // namespace
}  // namespace brx
