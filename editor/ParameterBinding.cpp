#include "editor/ParameterBinding.h"

#include "editor/MolvekKnob.h"
#include "editor/ParameterHistory.h"
#include "processor/HostParameters.h"
#include "processor/VardekoQX2710AudioProcessor.h"

// The window speaks the processor's indexed parameter interface, as hosts do.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

ParameterBinding::ParameterBinding (VardekoQX2710AudioProcessor& p, int parameterIndex) noexcept
    : processor (p)
    , index (parameterIndex)
{
}

ParameterBinding::~ParameterBinding()
{
    endDrag();
}

void ParameterBinding::setUp (MolvekKnob& knob, double step) const
{
    knob.setRange (0.0, 1.0, step);
    knob.setValue (getShownValue(), juce::dontSendNotification);
    knob.setDoubleClickReturnValue (step == 0.0, HostParameters::getDefaultValue (index));

    // While dragged, the value as the host shows it, in a bubble beside the knob.
    knob.textFromValueFunction = [parameter = index] (double value)
    { return HostParameters::getText (parameter, (float) value); };
}

float ParameterBinding::getShownValue() const
{
    const auto value = processor.getParameter (index);

    if (index == HostParameters::overdriveType)
        return HostParameters::getModelValue (HostParameters::getModelIndex (value));

    return value;
}

float ParameterBinding::fromKnob (double knobValue) const noexcept
{
    // The selector's steps are exactly the values the processor reads as each circuit.
    if (index == HostParameters::overdriveType)
        return HostParameters::getModelValue (juce::roundToInt ((float) knobValue * 4.0f));

    return (float) knobValue;
}

void ParameterBinding::send (float value)
{
    const auto ownGesture = ! dragging;
    const auto before = processor.getParameter (index);

    if (ownGesture)
        processor.beginParameterChangeGesture (index);

    processor.setParameterNotifyingHost (index, value);

    if (ownGesture)
    {
        processor.endParameterChangeGesture (index);

        if (gestures != nullptr)
            gestures->record (index, before, processor.getParameter (index));
    }
}

void ParameterBinding::beginDrag()
{
    if (! dragging)
    {
        dragging = true;
        valueBeforeDrag = processor.getParameter (index);
        processor.beginParameterChangeGesture (index);
    }
}

void ParameterBinding::endDrag()
{
    if (dragging)
    {
        dragging = false;
        processor.endParameterChangeGesture (index);

        if (gestures != nullptr)
            gestures->record (index, valueBeforeDrag, processor.getParameter (index));
    }
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
