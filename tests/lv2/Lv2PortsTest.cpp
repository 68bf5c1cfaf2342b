// The LV2 plug-ins' identity and ports as the wrapper and the bundle's description share them.

#include "lv2/Lv2Ports.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace
{
const Lv2Ports::Variant variants[] = { Lv2Ports::Variant::stereo, Lv2Ports::Variant::mono };
}

TEST (Lv2Ports, TheStereoPluginKeepsTheUriSessionsNameAndTheMonoOneHasItsOwn)
{
    EXPECT_EQ (juce::String (ProductInfo::lv2Uri), Lv2Ports::getPluginUri (Lv2Ports::Variant::stereo));
    EXPECT_EQ (juce::String (ProductInfo::lv2Uri) + "-mono", Lv2Ports::getPluginUri (Lv2Ports::Variant::mono));
    EXPECT_EQ (juce::String (ProductInfo::lv2Uri) + ":StateString", Lv2Ports::getStateUri());
    EXPECT_EQ (juce::String (ProductInfo::lv2Uri) + ":preset01", Lv2Ports::getPresetUri (0));
    EXPECT_EQ (juce::String (ProductInfo::lv2Uri) + ":preset12", Lv2Ports::getPresetUri (11));
    EXPECT_EQ (juce::String ("03 Pro Lead"), Lv2Ports::getPresetLabel (2, "Pro Lead"));
}

TEST (Lv2Ports, AudioThenOneControlPerParameterThenFreeWheelingAndLatencyEachNumberOnce)
{
    for (const auto variant : variants)
    {
        const auto channels = Lv2Ports::getNumAudioChannels (variant);
        std::set<uint32_t> used;

        for (int c = 0; c < channels; ++c)
        {
            EXPECT_EQ ((uint32_t) c, Lv2Ports::getAudioInputPort (variant, c));
            used.insert (Lv2Ports::getAudioInputPort (variant, c));
            used.insert (Lv2Ports::getAudioOutputPort (variant, c));
        }

        for (int k = 0; k < HostParameters::numParameters; ++k)
        {
            const auto port = Lv2Ports::getControlPort (variant, k);
            EXPECT_EQ ((uint32_t) (2 * channels + k), port);
            EXPECT_EQ (k, Lv2Ports::getParameterOfPort (variant, port));
            used.insert (port);
        }

        used.insert (Lv2Ports::getFreeWheelingPort (variant));
        EXPECT_EQ (Lv2Ports::getFreeWheelingPort (variant) + 1, Lv2Ports::getLatencyPort (variant));
        used.insert (Lv2Ports::getLatencyPort (variant));
        EXPECT_EQ ((size_t) Lv2Ports::getNumPorts (variant), used.size());
        EXPECT_EQ (Lv2Ports::getNumPorts (variant) - 1, *used.rbegin());

        // Ports that carry no parameter.
        EXPECT_EQ (-1, Lv2Ports::getParameterOfPort (variant, Lv2Ports::getAudioOutputPort (variant, 0)));
        EXPECT_EQ (-1, Lv2Ports::getParameterOfPort (variant, Lv2Ports::getFreeWheelingPort (variant)));
        EXPECT_EQ (-1, Lv2Ports::getParameterOfPort (variant, Lv2Ports::getLatencyPort (variant)));
        EXPECT_EQ (-1, Lv2Ports::getParameterOfPort (variant, 1000));
    }
}

TEST (Lv2Ports, SteppedPortsTakeStepNumbersAndEveryStepRoundTrips)
{
    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        const auto steps = HostParameters::getNumSteps (k);
        EXPECT_EQ (steps == 2, Lv2Ports::isToggled (k)) << k;
        EXPECT_EQ (steps > 2, Lv2Ports::isEnumeration (k)) << k;

        if (steps == 0)
        {
            EXPECT_EQ (1.0f, Lv2Ports::getPortMaximum (k));
            EXPECT_EQ (0.25f, Lv2Ports::toParameterValue (k, 0.25f));
            EXPECT_EQ (1.0f, Lv2Ports::toParameterValue (k, 1.5f)) << "kept inside 0..1";
            EXPECT_EQ (0.25f, Lv2Ports::toPortValue (k, 0.25f));
            continue;
        }

        EXPECT_EQ ((float) (steps - 1), Lv2Ports::getPortMaximum (k)) << k;

        for (int step = 0; step < steps; ++step)
        {
            const auto value = Lv2Ports::toParameterValue (k, (float) step);
            EXPECT_EQ (HostParameters::getStepValue (k, step), value) << k << " step " << step;
            EXPECT_EQ ((float) step, Lv2Ports::toPortValue (k, value)) << k << " step " << step;
        }
    }

    // Between whole numbers a port selects the step whose band holds it, and the value is kept
    // as the host gave it (so that what it reads back is what it set); a toggle is on above 0.
    const auto between = Lv2Ports::toParameterValue (HostParameters::oversampling, 1.6f);
    EXPECT_FLOAT_EQ (1.6f / 3.0f, between);
    EXPECT_EQ (2, HostParameters::getStepIndex (HostParameters::oversampling, between));
    EXPECT_EQ (1, HostParameters::getStepIndex (HostParameters::onBypass, Lv2Ports::toParameterValue (HostParameters::onBypass, 0.1f)));
    EXPECT_EQ (0.0f, Lv2Ports::toParameterValue (HostParameters::onBypass, 0.0f));
    EXPECT_TRUE (std::isnan (Lv2Ports::toParameterValue (HostParameters::overdrive, std::nanf (""))));
}
