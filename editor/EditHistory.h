// EditHistory: the undo and redo steps of one document, as whole documents (the bytes Save
// writes). The history holds the current document in full and, for each step, what the
// step changed: the bytes between the longest common start and end of the documents before
// and after it. Drawing a line, posing or moving the icon changes a small middle part of a
// document of any size, so a step usually costs a few kilobytes, not the whole document.
//
// Undo and redo move through the steps one at a time from the current document. A new step
// after undoing drops the steps that could have been redone. The oldest steps go first when
// there are more than maxSteps or they hold more than maxBytes with the current document.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

class EditHistory {
public:
    static constexpr size_t kDefaultMaxSteps = 1000;
    static constexpr size_t kDefaultMaxBytes = 64u << 20;

    explicit EditHistory(size_t maxSteps = kDefaultMaxSteps, size_t maxBytes = kDefaultMaxBytes);

    // Forgets every step; the document is now where the history starts
    void Reset(const std::string& document);
    // The step from the current document to after, named by label ("Draw Line"); a document
    // equal to the current one is no step. True when a step was recorded.
    bool Record(const char* label, const std::string& after);
    // Takes after as the current document without a step of its own (the doll moved into a
    // pose by itself): the last step then leads to after, so undoing it still gives the
    // document before it and redoing it gives after
    void Amend(const std::string& after);

    bool CanUndo() const { return applied > 0; }
    bool CanRedo() const { return applied < steps.size(); }
    // The label of the step Undo or Redo would take; "" when there is none
    const std::string& GetUndoLabel() const;
    const std::string& GetRedoLabel() const;
    // Moves one step back or forward; false when there is none
    bool Undo();
    bool Redo();

    const std::string& GetCurrent() const { return current; }
    size_t GetNumSteps() const { return steps.size(); }
    size_t GetNumUndoSteps() const { return applied; }
    // Bytes held: the current document and every step
    size_t GetBytes() const;

private:
    struct Step {
        std::string label;
        size_t start;        // bytes both documents begin with
        size_t end;          // bytes both documents end with, after start
        std::string before;  // what lies between them before the step
        std::string after;   // and after it
        size_t Bytes() const { return sizeof(Step) + label.size() + before.size() + after.size(); }
    };
    static Step Difference(const char* label, const std::string& from, const std::string& to);
    // from with the middle part of the step replaced by middle
    static std::string Apply(const std::string& from, const Step& s, const std::string& oldMiddle,
                             const std::string& middle);
    void DropOldSteps();

    size_t maxSteps, maxBytes;
    std::string current;
    std::deque<Step> steps;
    size_t applied = 0;    // steps before the current document; the rest can be redone
    size_t stepBytes = 0;  // the sum of the steps' Bytes()
};
