#include "view/status_rules.h"

ReportChoice ChooseReportedEnd(SelectionSpan shown, SelectionSpan now, bool endOnce,
                               ReportedEnd previous) {
    const bool startMoved = now.start != shown.start;
    const bool endMoved = now.end != shown.end;
    if (now.start == now.end) {
        return {ReportedEnd::End, startMoved || endMoved};
    }
    if (endOnce) {
        return {ReportedEnd::End, true};
    }
    if (startMoved && endMoved) {
        return {now.start > shown.start ? ReportedEnd::End : ReportedEnd::Start, true};
    }
    if (startMoved) {
        return {ReportedEnd::Start, true};
    }
    if (endMoved) {
        return {ReportedEnd::End, true};
    }
    return {previous, false};
}

std::uint32_t CharacterCode(Unit first, Unit second) {
    if (IsSurrogate(first)) {
        return std::uint32_t{first} | std::uint32_t{second} << 16;
    }
    return first;
}
