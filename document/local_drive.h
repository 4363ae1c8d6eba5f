// Whether a path lies on a disk of this computer (not a network share, not removable media).
#ifndef TARNWICK_DOCUMENT_LOCAL_DRIVE_H
#define TARNWICK_DOCUMENT_LOCAL_DRIVE_H

#include <windows.h>

bool OnLocalFixedDrive(const wchar_t* path);

#endif
