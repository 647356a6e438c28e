// The file seam on Windows. Paths arrive in the active code page (UTF-8 where
// the manifest asks for it) and go to the wide functions, so that no name is
// lost to a narrow conversion inside the system.
#include <windows.h>

#include <algorithm>

#include "model/file_system.h"

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

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, bool& already_exists,
                                        std::string& error) override {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
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
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace brx
