#include "document/local_drive.h"

bool OnLocalFixedDrive(const wchar_t* path) {
    wchar_t root[MAX_PATH];
    return GetVolumePathNameW(path, root, MAX_PATH) && GetDriveTypeW(root) == DRIVE_FIXED;
}
