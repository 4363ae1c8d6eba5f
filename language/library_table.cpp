#include "language/library_table.h"

UnitView LanguageLibraryFileName(std::int32_t language) {
    switch (language) {
    case kLanguageSlovak:
        return u"Slovak.dll";
    case kLanguageCzech:
        return u"Czech.dll";
    default:
        return kEnglishLibraryName;
    }
}
