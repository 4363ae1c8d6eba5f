// Files and folders for the Windows test programs.
#ifndef TARNWICK_TESTS_SUPPORT_FILES_H
#define TARNWICK_TESTS_SUPPORT_FILES_H

#include <windows.h>

#include <optional>
#include <string>

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

void RemoveTree(const std::wstring& folder);
// Copies every file and folder below source (with trailing backslash) into destination.
void CopyTree(const std::wstring& source, const std::wstring& destination);

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

// A file's text: UTF-16 LE when it starts with FF FE, else ANSI.
std::wstring ReadText(const std::wstring& path);

// The value of a key in a section of an initialisation file, read from the file's bytes
// (not through the profile functions, which may answer from a cache); nullopt when absent.
std::optional<std::wstring> IniValue(const std::wstring& path, const std::wstring& section,
                                     const std::wstring& key);

// UTF-8 for test messages, and back.
std::string Utf8(const std::wstring& text);
std::wstring Widen(const std::string& utf8);

#endif
