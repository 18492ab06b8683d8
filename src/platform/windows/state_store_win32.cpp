// The state store of a Windows user: files in a folder of the user's,
// written to a temporary file of the process's own beside the file, flushed
// and renamed over it (MoveFileExW replaces it, where std::filesystem
// promises nothing of a flush and, with MinGW's runtime, of replacing), and
// locks that are named mutexes of the logon session.
#include <windows.h>

#include <string>

#include "vantrel/base/current_port.h"
#include "vantrel/base/utf16.h"
#include "vantrel/platform/state_store.h"

namespace vantrel::platform {

namespace {

Error Failed(const std::string& what, const std::wstring& path, DWORD code) {
  Error e{ErrorCode::kSystem, code,
          what + " " + Utf8(path) + " failed (system error " + std::to_string(code) + ")"};
  return e;
}

// The environment's UTF-16 text: a user's folder may have any name.
std::wstring FromEnvironment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size <= 1) return {};
  std::wstring value(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, value.data(), size);
  if (got == 0 || got >= size) return {};
  value.resize(got);
  return value;
}

class Handle {
 public:
  explicit Handle(HANDLE h) noexcept : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  HANDLE get() const noexcept { return h_; }

 private:
  HANDLE h_;
};

class Taken final : public StateStore::Held {
 public:
  explicit Taken(HANDLE mutex) noexcept : mutex_(mutex) {}
  ~Taken() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

class Files final : public StateStore {
 public:
  Result<std::string> Where(std::string_view name) override {
    Result<std::wstring> file = File(name);
    if (!file) return file.error();
    return Utf8(*file);
  }

  Result<std::optional<std::string>> Read(std::string_view name) override {
    Result<std::wstring> file = File(name);
    if (!file) return file.error();
    // Shared for writing and deleting too: another process's write renames
    // its new file over this one, and must not fail for this read.
    const Handle h(CreateFileW(file->c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.get() == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
        return std::optional<std::string>();
      }
      return Failed("opening", *file, code);
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h.get(), buffer, sizeof buffer, &got, nullptr)) {
      if (got == 0) return std::optional<std::string>(std::move(text));
      text.append(buffer, got);
    }
    return Failed("reading", *file, GetLastError());
  }

  Result<void> Write(std::string_view name, std::string_view text) override {
    Result<std::wstring> file = File(name);
    if (!file) return file.error();
    const std::wstring folder = file->substr(0, file->find_last_of(L"\\/"));
    if (!CreateFolders(folder)) return Failed("creating the folder", folder, GetLastError());
    // A name of this thread's own: the rename stays within one folder (one
    // volume), and two writers never share a temporary.
    const std::wstring temporary = *file + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                   std::to_wstring(GetCurrentThreadId()) + L".tmp";
    {
      const Handle h(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
      if (h.get() == INVALID_HANDLE_VALUE) return Failed("creating", temporary, GetLastError());
      DWORD written = 0;
      if (!WriteFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
          written != text.size() || !FlushFileBuffers(h.get())) {
        const DWORD code = GetLastError();
        DeleteFileW(temporary.c_str());
        return Failed("writing", temporary, code);
      }
    }
    if (!MoveFileExW(temporary.c_str(), file->c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD code = GetLastError();
      DeleteFileW(temporary.c_str());
      return Failed("replacing", *file, code);
    }
    return {};
  }

  Result<std::unique_ptr<Held>> Lock(std::string_view name) override {
    // Local\: the user's logon session, the desktop whose displays change.
    const std::wstring full = L"Local\\Vantrel." + Utf16(name);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, full.c_str());
    if (!mutex) return Failed("creating the lock", full, GetLastError());
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      const DWORD code = GetLastError();
      CloseHandle(mutex);
      return Failed("taking the lock", full, code);
    }
    return std::unique_ptr<Held>(new Taken(mutex));
  }

 private:
  static Result<std::wstring> File(std::string_view name) {
    std::wstring folder = FromEnvironment(L"VANTREL_STATE_DIR");
    if (folder.empty() && !(folder = FromEnvironment(L"LOCALAPPDATA")).empty()) {
      folder += L"\\Vantrel";
    }
    if (folder.empty()) {
      return Error{ErrorCode::kSystem, 0,
                   "no folder for Vantrel's state: neither VANTREL_STATE_DIR nor LOCALAPPDATA is "
                   "set"};
    }
    return folder + L"\\" + Utf16(name);
  }

  // The folder and those above it, where missing.
  static bool CreateFolders(const std::wstring& folder) {
    if (folder.empty()) return true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
      SetLastError(ERROR_DIRECTORY);  // a file where the folder should be
      return false;
    }
    const std::size_t up = folder.find_last_of(L"\\/");
    if (up != std::wstring::npos && up > 0 && folder[up - 1] != L':' &&
        !CreateFolders(folder.substr(0, up))) {
      return false;
    }
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  }
};

}  // namespace

template <>
StateStore& RunningPort<StateStore>() noexcept {
  static Files files;
  return files;
}

}  // namespace vantrel::platform
