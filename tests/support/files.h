// Files, folders, environment and resources for the Windows test programs.
#ifndef TARNWICK_TESTS_SUPPORT_FILES_H
#define TARNWICK_TESTS_SUPPORT_FILES_H

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The value of an environment variable, or an empty string when it is not set.
std::wstring Environment(const wchar_t* variable);
// A folder named by an environment variable that the test runner sets. Fails the test (and
// returns an empty path) when it is missing.
std::wstring FolderFromEnvironment(const wchar_t* variable);

// A new empty folder under the system's temporary folder, removed with its content at the
// end of its scope.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; } // with its trailing backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

  private:
    std::wstring path_;
};

// Copies every file and folder below source (with trailing backslash) into destination.
void CopyTree(const std::wstring& source, const std::wstring& destination);

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
// The names of the files (not folders) in a folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// The bytes of a UTF-16 LE file: its mark, then the units of the text.
inline std::string Utf16LeFile(const std::wstring& text) {
    return "\xFF\xFE" +
           std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// A file opened as another program might hold it: without sharing unless told otherwise.
class HeldFile {
  public:
    explicit HeldFile(const std::wstring& path, DWORD access = GENERIC_READ, DWORD share = 0);
    ~HeldFile() { CloseHandle(handle_); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

  private:
    HANDLE handle_;
};

// A file's text: UTF-16 LE when it starts with FF FE, else ANSI.
std::wstring ReadText(const std::wstring& path);

// The value of a key in a section of an initialisation file, read from the file's bytes
// (not through the profile functions, which may answer from a cache); nullopt when absent.
std::optional<std::wstring> IniValue(const std::wstring& path, const std::wstring& section,
                                     const std::wstring& key);

// A library's resources, loaded without running any of its code, and one of its strings (empty
// when it has none).
inline HMODULE LoadResources(const std::wstring& path) {
    return LoadLibraryExW(path.c_str(), nullptr,
                          LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
}
inline std::wstring ResourceString(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : L"";
}

// UTF-8 for test messages.
std::string Utf8(const std::wstring& text);

#endif
