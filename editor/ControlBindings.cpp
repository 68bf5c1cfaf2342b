#include "editor/ControlBindings.h"

#include "editor/MolvekKnob.h"
#include "processor/HostParameters.h"
#include "processor/VardekoQX2710AudioProcessor.h"

// The window speaks the processor's indexed parameter interface, as hosts do.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

ControlBindings::ControlBindings (VardekoQX2710AudioProcessor& p)
    : processor (p)
{
    for (int i = 0; i < HostParameters::numParameters; ++i)
        bindings.push_back (std::make_unique<ParameterBinding> (processor, i));
}

void ControlBindings::bind (MolvekKnob& knob, int parameterIndex, double step)
{
    (*this)[parameterIndex].setUp (knob, step);
    knobs.emplace_back (&knob, parameterIndex);
}

void ControlBindings::bindToggle (juce::Button& button, int parameterIndex)
{
    buttons.push_back ({ &button, parameterIndex, -1 });
}

void ControlBindings::bindStep (juce::Button& button, int parameterIndex, int step)
{
    buttons.push_back ({ &button, parameterIndex, step });
}

int ControlBindings::indexOf (const juce::Component* control) const
{
    if (control == nullptr)
        return -1;

    for (const auto& [knob, index] : knobs)
        if (knob == control)
            return index;

    for (const auto& b : buttons)
        if (b.button == control)
            return b.parameterIndex;

    return -1;
}

void ControlBindings::knobMoved (juce::Slider& knob)
{
    if (const auto index = indexOf (&knob); index >= 0)
        (*this)[index].send ((*this)[index].fromKnob (knob.getValue()));
}

void ControlBindings::dragStarted (juce::Slider& knob)
{
    if (const auto index = indexOf (&knob); index >= 0)
        (*this)[index].beginDrag();
}

void ControlBindings::dragEnded (juce::Slider& knob)
{
    if (const auto index = indexOf (&knob); index >= 0)
        (*this)[index].endDrag();
}

bool ControlBindings::clicked (juce::Button& button)
{
    for (const auto& b : buttons)
    {
        if (b.button != &button)
            continue;

        if (b.step < 0)
        {
            (*this)[b.parameterIndex].send (button.getToggleState() ? 1.0f : 0.0f);
        }
        else
        {
            (*this)[b.parameterIndex].send (HostParameters::getStepValue (b.parameterIndex, b.step));

            // Exactly one light of the parameter is lit at once.
            refreshButtons (b.parameterIndex);
        }

        return true;
    }

    return false;
}

void ControlBindings::refresh()
{
    for (const auto& [knob, index] : knobs)
        if (const auto& binding = (*this)[index]; ! binding.isDragging())
            knob->setValue (binding.getShownValue(), juce::dontSendNotification);

    for (int i = 0; i < HostParameters::numParameters; ++i)
        refreshButtons (i);
}

void ControlBindings::refreshButtons (int parameterIndex)
{
    const auto step = HostParameters::getStepIndex (parameterIndex, processor.getParameter (parameterIndex));

    for (const auto& b : buttons)
        if (b.parameterIndex == parameterIndex)
            b.button->setToggleState (b.step < 0 ? step > 0 : step == b.step, juce::dontSendNotification);
}

void ControlBindings::sendAll()
{
    for (const auto& binding : bindings)
        binding->send (processor.getParameter (binding->getParameterIndex()));
}

void ControlBindings::recordIn (ParameterHistory* history)
{
    for (const auto& binding : bindings)
        binding->recordIn (history);
}

void ControlBindings::release (juce::Slider::Listener& listener)
{
    for (const auto& [knob, index] : knobs)
        knob->removeListener (&listener);

    bindings.clear();
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
