// The program's version and copyright: shown in the About box and written into the version
// resource of Tarnwick.exe. The resource compiler reads this file too, so it holds nothing
// but #define lines.
#ifndef TARNWICK_APP_VERSION_H
#define TARNWICK_APP_VERSION_H

#define TARNWICK_VERSION_NUMBERS 1, 0, 0, 0
#define TARNWICK_VERSION_TEXT "1.0.0"
#define TARNWICK_COPYRIGHT "Copyright (C) 2026 The Tarnwick developers"

#endif
