#include "app/command_line.h"

#include "app/path_rules.h"

#include <algorithm>

namespace {

constexpr Unit kBlank = u' ';
constexpr Unit kQuote = u'"';

// Position just past the program's own name, or npos when the line holds nothing after it.
std::size_t SkipProgramName(UnitView line) {
    if (!line.empty() && line.front() == kQuote) {
        const std::size_t closing = line.find(kQuote, 1);
        return closing == UnitView::npos ? line.size() : closing + 1;
    }
    return line.find(kBlank);
}

} // namespace

CommandLineName GetCommandLineFileName(UnitView commandLine, UnitBuffer destination) {
    std::size_t position = SkipProgramName(commandLine);
    if (position == UnitView::npos) {
        return CommandLineName::None;
    }
    while (position < commandLine.size() && commandLine[position] == kBlank) {
        ++position;
    }
    if (position == commandLine.size()) {
        return CommandLineName::None;
    }

    UnitView name = commandLine.substr(position);
    if (name.front() == kQuote) {
        name.remove_prefix(1);
        name = name.substr(0, name.find(kQuote));
    }
    if (name.size() >= kPathCapacity || name.size() >= destination.size()) {
        return CommandLineName::TooLong;
    }
    std::copy(name.begin(), name.end(), destination.begin());
    destination[name.size()] = u'\0';
    return CommandLineName::Found;
}
