// The layout from before a change, one file per user, written so that a
// reader (another process, after a crash) finds the old text or the new one,
// never part of one: a temporary file in the same folder, flushed to disk,
// then renamed over the old one. Windows' and POSIX's own calls do it, as
// std::filesystem promises nothing of a flush and (with MinGW's runtime) of
// replacing a file.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "vantrel/displays/apply.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace vantrel {

namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

#ifdef _WIN32
// The environment's UTF-16 text: a user's folder may have any name.
fs::path FromEnvironment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value && *value ? fs::path(value) : fs::path();
}
std::uint32_t LastError() { return GetLastError(); }
#else
fs::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? fs::path(value) : fs::path();
}
std::uint32_t LastError() { return static_cast<std::uint32_t>(errno); }
#endif

Error Failed(const std::string& what, const fs::path& path, std::uint32_t code) {
  return {ErrorCode::kSystem, code,
          what + " " + Utf8(path) + " failed (system error " + std::to_string(code) + ")"};
}

Result<fs::path> Folder() {
#ifdef _WIN32
  fs::path folder = FromEnvironment(L"VANTREL_STATE_DIR");
  if (folder.empty() && !(folder = FromEnvironment(L"LOCALAPPDATA")).empty()) folder /= L"Vantrel";
#else
  fs::path folder = FromEnvironment("VANTREL_STATE_DIR");
  if (folder.empty() && !(folder = FromEnvironment("LOCALAPPDATA")).empty()) folder /= "Vantrel";
#endif
  if (folder.empty()) {
    return Error{ErrorCode::kSystem, 0,
                 "no folder for the layout from before: neither VANTREL_STATE_DIR nor LOCALAPPDATA "
                 "is set"};
  }
  return folder;
}

Result<fs::path> File() {
  Result<fs::path> folder = Folder();
  if (!folder) return folder.error();
  return *folder / fs::path(std::u8string(kLayoutBeforeFile.begin(), kLayoutBeforeFile.end()));
}

#ifdef _WIN32
Result<void> WriteThrough(const fs::path& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed("creating", path, LastError());
  DWORD written = 0;
  const bool ok =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size() && FlushFileBuffers(file);
  const std::uint32_t code = LastError();
  CloseHandle(file);
  if (!ok) return Failed("writing", path, code);
  return {};
}

Result<void> Replace(const fs::path& from, const fs::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Failed("replacing", to, LastError());
  }
  return {};
}

Result<std::string> ReadAll(const fs::path& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed("opening", path, LastError());
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) {
    text.append(buffer, got);
  }
  const std::uint32_t code = LastError();
  CloseHandle(file);
  if (!ok) return Failed("reading", path, code);
  return text;
}

std::uint32_t ProcessId() { return GetCurrentProcessId(); }
constexpr std::uint32_t kNotFound = ERROR_FILE_NOT_FOUND;
constexpr std::uint32_t kNoFolder = ERROR_PATH_NOT_FOUND;
#else
Result<void> WriteThrough(const fs::path& path, const std::string& text) {
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (file < 0) return Failed("creating", path, LastError());
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(file, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool ok = done == text.size() && ::fsync(file) == 0;
  const std::uint32_t code = LastError();
  ::close(file);
  if (!ok) return Failed("writing", path, code);
  return {};
}

Result<void> Replace(const fs::path& from, const fs::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return Failed("replacing", to, LastError());
  return {};
}

Result<std::string> ReadAll(const fs::path& path) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return Failed("opening", path, LastError());
  std::string text;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(file, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
    if (got > 0) text.append(buffer, static_cast<std::size_t>(got));
  }
  const std::uint32_t code = LastError();
  ::close(file);
  if (got < 0) return Failed("reading", path, code);
  return text;
}

std::uint32_t ProcessId() { return static_cast<std::uint32_t>(::getpid()); }
constexpr std::uint32_t kNotFound = ENOENT;
constexpr std::uint32_t kNoFolder = ENOENT;
#endif

}  // namespace

Result<std::string> LayoutBeforePath() {
  Result<fs::path> file = File();
  if (!file) return file.error();
  return Utf8(*file);
}

Result<std::string> SaveLayoutBefore(const Layout& layout) {
  Result<fs::path> file = File();
  if (!file) return file.error();
  std::error_code error;
  fs::create_directories(file->parent_path(), error);
  if (error) {
    return Failed("creating the folder", file->parent_path(),
                  static_cast<std::uint32_t>(error.value()));
  }
  // A name of this process's own, beside the file: the rename stays within
  // one folder (one volume), and two processes never share a temporary.
  fs::path temporary = *file;
  temporary += "." + std::to_string(ProcessId()) + ".tmp";
  Result<void> written = WriteThrough(temporary, ToJson(layout));
  if (written) written = Replace(temporary, *file);
  if (!written) {
    fs::remove(temporary, error);
    return written.error();
  }
  return Utf8(*file);
}

Result<Layout> LoadLayoutBefore() {
  Result<fs::path> file = File();
  if (!file) return file.error();
  Result<std::string> text = ReadAll(*file);
  if (!text) {
    Error e = text.error();
    if (e.system_error == kNotFound || e.system_error == kNoFolder) {
      e.message = "no layout from before is saved at " + Utf8(*file);
    }
    return e;
  }
  Result<Layout> layout = LayoutFromJson(*text);
  if (!layout) {
    return Error{layout.error().code, 0, Utf8(*file) + ": " + layout.error().message};
  }
  return layout;
}

}  // namespace vantrel
