#include "document/file_stamp.h"

#include "app/handles.h"

StampRead ReadFileStamp(const wchar_t* path, FileStamp& stamp) {
    UniqueFile file(CreateFileW(path, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? StampRead::Missing
                                                                              : StampRead::Unknown;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.Get(), &information)) {
        return StampRead::Unknown;
    }
    stamp.lastWrite = ULARGE_INTEGER{{information.ftLastWriteTime.dwLowDateTime,
                                      information.ftLastWriteTime.dwHighDateTime}}
                          .QuadPart;
    stamp.size = ULARGE_INTEGER{{information.nFileSizeLow, information.nFileSizeHigh}}.QuadPart;
    stamp.volume = information.dwVolumeSerialNumber;
    stamp.index = ULARGE_INTEGER{{information.nFileIndexLow, information.nFileIndexHigh}}.QuadPart;
    return StampRead::Read;
}
