#include "EditHistory.h"

#include <algorithm>
#include <cstring>

#include "VelkoAssert.h"

namespace {
const std::string kNoLabel;
}

EditHistory::EditHistory(size_t maxSteps, size_t maxBytes)
    : maxSteps(maxSteps), maxBytes(maxBytes) {
    VELKO_ASSERT(maxSteps > 0);
}

void EditHistory::Reset(const std::string& document) {
    current = document;
    steps.clear();
    applied = 0;
    stepBytes = 0;
}

EditHistory::Step EditHistory::Difference(const char* label, const std::string& from,
                                          const std::string& to) {
    // Whole blocks are compared with memcmp first: a document is megabytes long and most of
    // it is the same on both sides
    const size_t shorter = std::min(from.size(), to.size());
    const size_t kBlock = 4096;
    const char* a = from.data();
    const char* b = to.data();
    size_t start = 0;
    while (start + kBlock <= shorter && memcmp(a + start, b + start, kBlock) == 0) start += kBlock;
    while (start < shorter && a[start] == b[start]) start++;
    const char* aEnd = a + from.size();
    const char* bEnd = b + to.size();
    size_t end = 0;
    while (end + kBlock <= shorter - start &&
           memcmp(aEnd - end - kBlock, bEnd - end - kBlock, kBlock) == 0)
        end += kBlock;
    while (end < shorter - start && aEnd[-1 - (long)end] == bEnd[-1 - (long)end]) end++;
    Step s;
    s.label = label;
    s.start = start;
    s.end = end;
    s.before = from.substr(start, from.size() - start - end);
    s.after = to.substr(start, to.size() - start - end);
    return s;
}

std::string EditHistory::Apply(const std::string& from, const Step& s, const std::string& oldMiddle,
                               const std::string& middle) {
    VELKO_ASSERT(from.size() == s.start + oldMiddle.size() + s.end);
    std::string to;
    to.reserve(s.start + middle.size() + s.end);
    to.append(from, 0, s.start);
    to.append(middle);
    to.append(from, from.size() - s.end, s.end);
    return to;
}

bool EditHistory::Record(const char* label, const std::string& after) {
    if (after == current) return false;
    while (steps.size() > applied) {  // what could have been redone
        stepBytes -= steps.back().Bytes();
        steps.pop_back();
    }
    steps.push_back(Difference(label, current, after));
    stepBytes += steps.back().Bytes();
    applied++;
    current = after;
    DropOldSteps();
    return true;
}

void EditHistory::Amend(const std::string& after) {
    if (after == current) return;
    if (applied == 0) {
        // Nothing to undo leads here; the steps that could be redone started from the
        // document as it was and are dropped with it
        Reset(after);
        return;
    }
    Step& last = steps[applied - 1];
    std::string before = Apply(current, last, last.after, last.before);
    std::string label = last.label;
    stepBytes -= last.Bytes();
    last = Difference(label.c_str(), before, after);
    stepBytes += last.Bytes();
    while (steps.size() > applied) {
        stepBytes -= steps.back().Bytes();
        steps.pop_back();
    }
    current = after;
    DropOldSteps();
}

const std::string& EditHistory::GetUndoLabel() const {
    return CanUndo() ? steps[applied - 1].label : kNoLabel;
}

const std::string& EditHistory::GetRedoLabel() const {
    return CanRedo() ? steps[applied].label : kNoLabel;
}

bool EditHistory::Undo() {
    if (!CanUndo()) return false;
    const Step& s = steps[applied - 1];
    current = Apply(current, s, s.after, s.before);
    applied--;
    return true;
}

bool EditHistory::Redo() {
    if (!CanRedo()) return false;
    const Step& s = steps[applied];
    current = Apply(current, s, s.before, s.after);
    applied++;
    return true;
}

size_t EditHistory::GetBytes() const { return current.size() + stepBytes; }

void EditHistory::DropOldSteps() {
    // Called after a step was recorded or amended, when nothing is left to redo; a current
    // document larger than the bound on its own keeps no steps at all
    while (applied > 0 && (steps.size() > maxSteps || GetBytes() > maxBytes)) {
        stepBytes -= steps.front().Bytes();
        steps.pop_front();
        applied--;
    }
}
