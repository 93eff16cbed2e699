#include "platform/win32/win32_files.h"

#include <windows.h>

#include <limits>

namespace brenlow {
namespace {

// Closes a file handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

FileError LastError() { return FileError{Win32ErrorText(GetLastError())}; }

}  // namespace

std::string Win32ErrorText(unsigned long code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result;
  if (length != 0 && text != nullptr) {
    result.assign(text, length);
    while (!result.empty() &&
           (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) {
      result.pop_back();
    }
  }
  if (text != nullptr) LocalFree(text);
  if (result.empty()) result = "Errore " + std::to_string(code);
  return result;
}

std::string SystemWindowsFolder() {
  const UINT needed = GetWindowsDirectoryA(nullptr, 0);  // with the NUL
  if (needed == 0) return {};
  std::string folder(needed, '\0');
  const UINT length = GetWindowsDirectoryA(folder.data(), needed);
  if (length == 0 || length >= needed) return {};
  folder.resize(length);
  return folder;
}

std::optional<std::string> Win32Files::ReadAll(const std::string& path) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    content.append(buffer, got);
  }
  return content;
}

std::optional<FileHead> ReadDiskFileHead(const std::string& path, std::size_t max_bytes) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
      !GetFileSizeEx(file.get(), &size)) {
    return std::nullopt;
  }
  FileHead head{std::string(max_bytes, '\0'), static_cast<std::uint64_t>(size.QuadPart)};
  DWORD got = 0;
  if (!ReadFile(file.get(), head.bytes.data(), static_cast<DWORD>(max_bytes), &got, nullptr)) {
    return std::nullopt;
  }
  head.bytes.resize(got);
  return head;
}

std::optional<FileError> Win32Files::WriteAll(const std::string& path, const std::string& content) {
  if (content.size() > std::numeric_limits<DWORD>::max()) return FileError{"File troppo grande"};
  // Written beside the target and then moved over it, so that a failed
  // write never leaves half a file where the old one was.
  const std::string temp = path + ".tmp";
  {
    Handle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return LastError();
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()),
                              &written, nullptr);
    if (!ok || written != content.size() || !FlushFileBuffers(file.get())) {
      const FileError error = LastError();
      file.Close();
      DeleteFileA(temp.c_str());
      return error;
    }
    if (!file.Close()) {
      const FileError error = LastError();
      DeleteFileA(temp.c_str());
      return error;
    }
  }
  if (!MoveFileExA(temp.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const FileError error = LastError();
    DeleteFileA(temp.c_str());
    return error;
  }
  return std::nullopt;
}

std::optional<FileError> Win32Files::Copy(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return LastError();
  return std::nullopt;
}

}  // namespace brenlow
