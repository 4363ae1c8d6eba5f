// What the driver and the probe library pass each other in files: UTF-16 fields, each ended
// by NUL, after the file's mark.
#ifndef TARNWICK_TESTS_E2E_PROBE_FIELDS_H
#define TARNWICK_TESTS_E2E_PROBE_FIELDS_H

#include <string>
#include <vector>

// The wParam of the WM_NULL that asks the probe, hooked into the program's thread, to answer.
inline constexpr unsigned kProbeMarker = 0x7072;

inline std::wstring JoinFields(const std::vector<std::wstring>& fields) {
    std::wstring text;
    for (const std::wstring& field : fields) {
        text += field + L'\0';
    }
    return text;
}

inline std::vector<std::wstring> SplitFields(const std::wstring& text) {
    std::vector<std::wstring> fields;
    for (std::size_t start = 0, end; (end = text.find(L'\0', start)) != text.npos;
         start = end + 1) {
        fields.push_back(text.substr(start, end - start));
    }
    return fields;
}

#endif
