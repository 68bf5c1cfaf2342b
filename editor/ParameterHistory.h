#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <functional>

// The window's undo and redo: one step per gesture of the user's (a drag, a wheel step, a click,
// a key), holding the parameter's value before and after it. Undoing or redoing sets the value
// through apply, which is itself one gesture at the host, and records nothing. A change of
// channel, preset or program starts a new history: the steps before it belong to other values.
class ParameterHistory
{
public:
    using Apply = std::function<void (int parameterIndex, float value)>;

    explicit ParameterHistory (Apply apply);

    void record (int parameterIndex, float before, float after);

    bool undo();
    bool redo();
    void clear();

    bool canUndo() const { return manager.canUndo(); }
    bool canRedo() const { return manager.canRedo(); }

private:
    class Step;

    Apply apply;
    juce::UndoManager manager;
    bool replaying = false;
};
