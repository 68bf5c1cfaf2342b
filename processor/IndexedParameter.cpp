#include "processor/IndexedParameter.h"

#include "processor/HostParameters.h"

IndexedParameter::IndexedParameter (juce::AudioProcessor& ownerToUse, int indexToUse)
    : owner (ownerToUse)
    , index (indexToUse)
{
}

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

float IndexedParameter::getValue() const
{
    return owner.getParameter (index);
}

void IndexedParameter::setValue (float newValue)
{
    owner.setParameter (index, newValue);
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

float IndexedParameter::getDefaultValue() const
{
    return HostParameters::getDefaultValue (index);
}

juce::String IndexedParameter::getName (int maximumStringLength) const
{
    return HostParameters::getName (index).substring (0, maximumStringLength);
}

int IndexedParameter::getNumSteps() const
{
    return HostParameters::isStepped (index) ? HostParameters::getNumSteps (index)
                                             : juce::AudioProcessor::getDefaultNumParameterSteps();
}

bool IndexedParameter::isDiscrete() const
{
    return HostParameters::isStepped (index);
}

bool IndexedParameter::isBoolean() const
{
    return HostParameters::getNumSteps (index) == 2;
}

juce::String IndexedParameter::getText (float value, int maximumStringLength) const
{
    return HostParameters::getText (index, value).substring (0, maximumStringLength);
}

float IndexedParameter::getValueForText (const juce::String& text) const
{
    return HostParameters::getValueForText (index, text);
}
