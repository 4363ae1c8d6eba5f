#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

std::wstring Environment(const wchar_t* variable) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(variable, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

std::wstring FolderFromEnvironment(const wchar_t* variable) {
    const std::wstring folder = Environment(variable);
    EXPECT_FALSE(folder.empty()) << "the environment variable " << Utf8(variable)
                                 << " does not name a folder; run the tests through ctest";
    return folder.empty() || folder.ends_with(L'\\') ? folder : folder + L'\\';
}

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    do {
        path_ = std::wstring(temp) + L"tarnwick-test-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(InterlockedIncrement(&counter)) + L"\\";
    } while (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(FileExists(path_)) << "cannot create the folder " << Utf8(path_);
}

namespace {

template <typename Visit> void ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            visit(name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

void RemoveTree(const std::wstring& folder) {
    ForEachEntry(folder, [&folder](const std::wstring& name, bool isFolder) {
        if (isFolder) {
            RemoveTree(folder + name + L"\\");
        } else {
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + name).c_str());
        }
    });
    RemoveDirectoryW(folder.c_str());
}

} // namespace

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void CopyTree(const std::wstring& source, const std::wstring& destination) {
    CreateDirectoryW(destination.c_str(), nullptr);
    ForEachEntry(source, [&](const std::wstring& name, bool isFolder) {
        if (isFolder) {
            CopyTree(source + name + L"\\", destination + name + L"\\");
        } else if (!CopyFileW((source + name).c_str(), (destination + name).c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy " << Utf8(source + name);
        }
    });
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create " << Utf8(path);
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << "cannot write " << Utf8(path);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    ForEachEntry(folder, [&names](const std::wstring& name, bool isFolder) {
        if (!isFolder) {
            names.push_back(name);
        }
    });
    std::sort(names.begin(), names.end());
    return names;
}

HeldFile::HeldFile(const std::wstring& path, DWORD access, DWORD share)
    : handle_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << "cannot hold " << Utf8(path);
}

std::wstring ReadText(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    if (bytes.starts_with("\xFF\xFE")) {
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2),
                            bytes.size() / 2 - 1);
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

std::optional<std::wstring> IniValue(const std::wstring& path, const std::wstring& section,
                                     const std::wstring& key) {
    std::wstring text = ReadText(path);
    std::replace(text.begin(), text.end(), L'\r', L'\n');
    std::wistringstream lines(text);
    bool inSection = false;
    for (std::wstring line; std::getline(lines, line);) {
        if (line.starts_with(L'[')) {
            inSection = line == L"[" + section + L"]";
        } else if (inSection && line.starts_with(key + L"=")) {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}
