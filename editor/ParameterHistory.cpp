#include "editor/ParameterHistory.h"

#include <utility>

class ParameterHistory::Step : public juce::UndoableAction
{
public:
    Step (ParameterHistory& h, int parameterIndex, float valueBefore, float valueAfter)
        : history (h)
        , index (parameterIndex)
        , before (valueBefore)
        , after (valueAfter)
    {
    }

    // The first call records a change the user has already made.
    bool perform() override
    {
        if (std::exchange (alreadyDone, false))
            return true;

        history.apply (index, after);
        return true;
    }

    bool undo() override
    {
        history.apply (index, before);
        return true;
    }

private:
    ParameterHistory& history;
    const int index;
    const float before, after;
    bool alreadyDone = true;
};

ParameterHistory::ParameterHistory (Apply applyValue)
    : apply (std::move (applyValue))
    , manager (0, 100) // the last hundred steps, whatever their size
{
}

void ParameterHistory::record (int parameterIndex, float before, float after)
{
    if (replaying || before == after)
        return;

    manager.beginNewTransaction();
    manager.perform (new Step (*this, parameterIndex, before, after));
}

bool ParameterHistory::undo()
{
    const juce::ScopedValueSetter<bool> replay (replaying, true);
    return manager.undo();
}

bool ParameterHistory::redo()
{
    const juce::ScopedValueSetter<bool> replay (replaying, true);
    return manager.redo();
}

void ParameterHistory::clear()
{
    manager.clearUndoHistory();
}
