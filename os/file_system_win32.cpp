// The file seam on Windows. Paths arrive in the active code page (UTF-8 where
// the manifest asks for it) and go to the wide functions, so that no name is
// lost to a narrow conversion inside the system.
#include <windows.h>

#include <algorithm>

#include "os/system_file_system.h"

namespace brx {
namespace {

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : std::string();
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "system error";
  return message + " (error " + std::to_string(code) + ")";
}

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.pop_back();
  return wide;
}

// Back into the code page the paths arrive in; false when a character has
// no counterpart there.
bool Narrow(const std::wstring& wide, std::string& text) {
  BOOL lossy = FALSE;
  // The UTF-8 code page takes every character and refuses the lossy flag.
  BOOL* lossy_flag = GetACP() == CP_UTF8 ? nullptr : &lossy;
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, lossy_flag);
  if (length <= 0 || lossy) return false;
  text.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), length, nullptr, nullptr);
  text.pop_back();
  return true;
}

// Opens whatever stands at `path` for its attributes only: such an open
// takes no part in another program's sharing and never waits on a pipe;
// folders open only with backup semantics.
HANDLE OpenForAttributes(const std::string& path) {
  return CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The file an open handle reaches, after every link on the way (Wine
// follows a Unix symbolic link to what it names, too).
bool FinalPath(HANDLE file, std::string& path) {
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(
        file, wide.data(), static_cast<DWORD>(wide.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return false;
    const bool fits = length < wide.size();
    wide.resize(length);
    if (fits) break;
  }
  return Narrow(wide, path);
}

// Why a save leaves the file behind the handle alone; empty when it may replace it.
std::string Refusal(HANDLE file) {
  if (GetFileType(file) != FILE_TYPE_DISK) return "it is a device or a pipe, not a regular file";
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return SystemMessage(GetLastError());
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a folder, not a file";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return "the file is read-only";
  return std::string();
}

// The attributes a file keeps when a save replaces it.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The largest single transfer asked of the system.
constexpr std::size_t kMaxTransfer = 1u << 30;

class Win32InputFile : public InputFile {
 public:
  explicit Win32InputFile(HANDLE handle) : handle_(handle) {}
  ~Win32InputFile() override { CloseHandle(handle_); }

  bool Read(std::uint8_t* data, std::size_t size, std::size_t& got, std::string& error) override {
    DWORD done = 0;
    if (!::ReadFile(handle_, data, static_cast<DWORD>(std::min(size, kMaxTransfer)), &done,
                    nullptr)) {
      error = SystemMessage(GetLastError());
      return false;
    }
    got = done;
    return true;
  }

 private:
  HANDLE handle_;
};

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
  ~Win32OutputFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  bool Write(const std::uint8_t* data, std::size_t size, std::size_t& written,
             std::string& error) override {
    const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxTransfer));
    DWORD done = 0;
    if (!WriteFile(handle_, data, chunk, &done, nullptr)) {
      error = SystemMessage(GetLastError());
      return false;
    }
    written = done;
    return true;
  }

  bool Flush(std::string& error) override {
    if (FlushFileBuffers(handle_)) return true;
    error = SystemMessage(GetLastError());
    return false;
  }

  bool Close(std::string& error) override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (CloseHandle(handle)) return true;
    error = SystemMessage(GetLastError());
    return false;
  }

 private:
  HANDLE handle_;
};

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, std::string& error) override {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error = SystemMessage(GetLastError());
      return nullptr;
    }
    return std::make_unique<Win32InputFile>(file);
  }

  bool ResolveSaveTarget(const std::string& path, std::string& target,
                         std::string& error) override {
    target = path;
    const HANDLE file = OpenForAttributes(path);
    // Nothing there (yet): creating the file tells what is wrong with the name.
    if (file == INVALID_HANDLE_VALUE) return true;
    const std::string refusal = Refusal(file);
    // A path that cannot be written back in the narrow code page stays as given.
    if (refusal.empty() && !FinalPath(file, target)) target = path;
    CloseHandle(file);
    if (refusal.empty()) return true;
    error = refusal;
    return false;
  }

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, const std::string& replaces,
                                        bool& already_exists, std::string& error) override {
    // The access rights come from the folder, as they would for the file
    // replaced; the attributes it showed are kept.
    const DWORD replaced = GetFileAttributesW(Wide(replaces).c_str());
    const DWORD kept = replaced == INVALID_FILE_ATTRIBUTES ? 0 : replaced & kKeptAttributes;
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      already_exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
      error = SystemMessage(code);
      return nullptr;
    }
    already_exists = false;
    return std::make_unique<Win32OutputFile>(file);
  }

  // One atomic rename. ReplaceFile is not used: it is not atomic everywhere
  // (under Wine the target briefly does not exist).
  bool Replace(const std::string& from, const std::string& to, std::string& error) override {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    error = SystemMessage(GetLastError());
    return false;
  }

  bool Remove(const std::string& path) override { return DeleteFileW(Wide(path).c_str()) != 0; }

  bool SameFile(const std::string& a, const std::string& b) override {
    auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
      const HANDLE file = OpenForAttributes(path);
      if (file == INVALID_HANDLE_VALUE) return false;
      const bool known =
          GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info);
      CloseHandle(file);
      return known;
    };
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return identify(a, first) && identify(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace brx
