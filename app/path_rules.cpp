#include "app/path_rules.h"

#include <algorithm>
#include <string>

bool CopyTerminated(UnitBuffer destination, UnitView text) {
    if (destination.empty()) {
        return false;
    }
    if (text.size() >= destination.size()) {
        destination[0] = u'\0';
        return false;
    }
    // The text may already lie at the start of the destination (a path cut in place).
    std::char_traits<Unit>::move(destination.data(), text.data(), text.size());
    destination[text.size()] = u'\0';
    return true;
}

bool GetFolderOfPath(UnitBuffer destination, UnitView source) {
    const std::size_t lastBackslash = source.rfind(u'\\');
    const UnitView folder =
        lastBackslash == UnitView::npos ? UnitView() : source.substr(0, lastBackslash + 1);
    return CopyTerminated(destination, folder);
}

bool ComposePath(UnitBuffer destination, UnitView folder, UnitView name) {
    if (destination.empty()) {
        return false;
    }
    destination[0] = u'\0';
    if (folder.empty() || folder.size() + name.size() >= destination.size()) {
        return false;
    }
    auto end = std::copy(folder.begin(), folder.end(), destination.begin());
    end = std::copy(name.begin(), name.end(), end);
    *end = u'\0';
    return true;
}
