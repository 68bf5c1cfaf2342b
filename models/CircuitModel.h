#pragma once

#include "dsp/ModuleModel.h"
#include "dsp/OversamplingBase2.h"
#include "models/DetachableTimer.h"
#include "models/ModelFrame.h"
#include "models/ModelParameters.h"

#include <juce_events/juce_events.h>

#include <tuple>
#include <type_traits>
#include <utility>

// The skeleton every circuit shares: its block stages run in signal order through each
// lifecycle call, the five parameters, the fade frame, and the hand-over of the oversampled
// stage to the circuit's 100 ms timer when the factor changes.
//
// A circuit derives from CircuitModel<Circuit>, lists its stages in signal order in
//     auto stages() { return std::tie (first, second, ...); }
// and calls takeDefaults() at the end of its constructor, which (with the destructor) it
// defines in its own .cpp, so that its code is compiled there once rather than in every file
// that holds a circuit (where the compiler would stop inlining the sample loops). Exactly one
// stage runs oversampled (it derives from OversamplingBase2). A stage that takes knobs says
// which, and how (or derives from Knobs<...>):
//     static constexpr bool followsKnob (int knob);   // ModelParameters::drive, tone or level
//     void setKnob (int knob, float value);           // without recomputing
// After a knob moves the stages that follow it recompute: update(), or updateKnobs() for the
// oversampled stage. While the timer rebuilds that stage its knobs wait and are applied right
// after.
namespace CircuitStages
{
// True for a stage that takes knobs (it has followsKnob).
template <typename Stage, typename = void>
constexpr bool takesKnobs = false;

template <typename Stage>
constexpr bool takesKnobs<Stage, std::void_t<decltype (Stage::followsKnob (0))>> = true;

// True for a stage that rises from silence after a start of its own (it has skipStartGlide).
template <typename Stage, typename = void>
constexpr bool glidesInAtStart = false;

template <typename Stage>
constexpr bool glidesInAtStart<Stage, std::void_t<decltype (std::declval<Stage&>().skipStartGlide())>> = true;

// True for a stage with a filter of its own (it has forgetCoefficients).
template <typename Stage, typename = void>
constexpr bool hasCoefficients = false;

template <typename Stage>
constexpr bool hasCoefficients<Stage, std::void_t<decltype (std::declval<Stage&>().forgetCoefficients())>> = true;
} // namespace CircuitStages

template <typename Circuit>
class CircuitModel : public ModuleModel
{
public:
    ~CircuitModel() override { timer.detach(); }

    void setSampleRate (float rate) override
    {
        ModuleModel::setSampleRate (rate);
        frame.setSampleRate (rate);
        forEachStage ([rate] (auto& stage)
                      { stage.setSampleRate (rate); });
    }

    void setBlockSize (int maxSamples) override
    {
        ModuleModel::setBlockSize (maxSamples);
        frame.setBlockSize (maxSamples);
    }

    void shareDryBuffers (FadeBuffers& shared) override { frame.shareDryBuffers (shared); }

    void clearState() override
    {
        // While the timer holds the oversampled stage every history is cleared right after its
        // rebuild (the stages do not run in between).
        if (frame.deferWhileRebuilding (ModelFrame::clearHistory))
            return;

        forEachStage ([] (auto& stage)
                      { stage.clearState(); });
    }

    void initParameters() override
    {
        frame.initParameters();
        forEachStage ([] (auto& stage)
                      { stage.initParameters(); });
    }

    void update() override
    {
        frame.fadeCheck();
        forEachStage ([] (auto& stage)
                      { stage.update(); });
    }

    void setParameter (int index, float value) override
    {
        storeParameter (index, value);

        switch (index)
        {
            case ModelParameters::bypass:
                frame.setRequestedOn (value > 0.0f);
                break;

            case ModelParameters::drive:
            case ModelParameters::tone:
            case ModelParameters::level:
                knob (index) = value;
                forEachStage ([this, index] (auto& stage)
                              { this->routeKnob (stage, index); });
                break;

            case ModelParameters::numOverSampling:
                osIndex = ModelParameters::toOversamplingIndex (value);
                oversampledStage().setFactorIndex (osIndex);
                break;

            default:
                break;
        }
    }

    void parameterChanged (int index) override
    {
        if (frame.sharedParameterChanged (index, timer) || ! isKnob (index))
            return;

        forEachStage ([this, index] (auto& stage)
                      { this->recompute (stage, index); });
    }

    float getDefaultValue (int index) const override { return ModelParameters::getDefaultValue (index); }
    const char* getParameterName (int index) const override { return ModelParameters::getName (index); }

    void start() override
    {
        timer.stopTimer();

        for (auto index : knobs)
            forEachStage ([this, index] (auto& stage)
                          { this->giveKnob (stage, index); });

        auto& oversampled = oversampledStage();
        oversampled.setFactorIndex (osIndex);
        frame.fadeCheck();

        forEachStage ([] (auto& stage)
                      {
                          if constexpr (! isOversampled<decltype (stage)>)
                              stage.update(); });

        oversampled.initParameters();
        oversampled.applyFactor();
        frame.beginStartFade();
    }

    void processStereo (float* left, float* right, int numSamples) override { processBlock (left, right, numSamples); }
    void processMono (float* samples, int numSamples) override { processBlock (samples, nullptr, numSamples); }

    // Completes an oversampling change once the audio path has gone silent. Message thread.
    void timerCallback() override
    {
        // Marked before the look at renderingOffline, which the audio thread sets before it
        // looks at this: one of the two sees the other.
        timerWorking.store (true);

        if (! renderingOffline.load() && frame.timerTick ([this]
                                                          { oversampledStage().applyFactor(); }))
            timer.stopTimer();

        timerWorking.store (false);
    }

    // Offline, the rebuild follows the first silent block, as fast as the render runs. (The
    // timer may keep ticking; it finds nothing to do.)
    void setRenderingOffline (bool offline) noexcept override { renderingOffline.store (offline); }
    bool isDeferredWorkRunning() const noexcept override { return timerWorking.load(); }
    void skipStartFade() noexcept override
    {
        frame.skipStartFade();
        forEachStage ([] (auto& stage)
                      {
                          if constexpr (CircuitStages::glidesInAtStart<std::decay_t<decltype (stage)>>)
                              stage.skipStartGlide(); });
    }

    void forgetCoefficients() noexcept override
    {
        forEachStage ([] (auto& stage)
                      {
                          if constexpr (hasCoefficients<decltype (stage)>)
                              stage.forgetCoefficients();

                          if constexpr (isOversampled<decltype (stage)>)
                              std::apply ([] (auto&... filter)
                                          { (filter.forgetCoefficients(), ...); },
                                          stage.filters()); });
    }

    void completeDeferredWork() override
    {
        frame.timerTick ([this]
                         { oversampledStage().applyFactor(); });
    }

    bool isTimerRunning() const { return timer.isTimerRunning(); }

    void detachTimer() override { timer.detach(); }

    const ModelFrame& getFrame() const noexcept { return frame; }
    int getOversamplingIndex() const noexcept { return osIndex; }

    // The stage that runs oversampled, for tests and tools.
    const OversamplingBase2& getOversampledStage() noexcept { return oversampledStage(); }

protected:
    explicit CircuitModel (const char* name)
    {
        typeName = name;
        allocateParameters (ModelParameters::count);
    }

    // The end of a circuit's constructor, once its stages exist: every parameter at its
    // default, then clean histories and initial coefficients.
    void takeDefaults()
    {
        for (int i = 0; i < ModelParameters::count; ++i)
            CircuitModel::setParameter (i, ModelParameters::getDefaultValue (i));

        CircuitModel::clearState();
        CircuitModel::initParameters();
    }

private:
    static constexpr ModelParameters::Index knobs[] = { ModelParameters::drive, ModelParameters::tone, ModelParameters::level };

    template <typename Stage>
    static constexpr bool isOversampled = std::is_base_of_v<OversamplingBase2, std::decay_t<Stage>>;

    template <typename Stage>
    static constexpr bool followsKnobs = CircuitStages::takesKnobs<std::decay_t<Stage>>;

    template <typename Stage>
    static constexpr bool hasCoefficients = CircuitStages::hasCoefficients<std::decay_t<Stage>>;

    Circuit& circuit() noexcept { return static_cast<Circuit&> (*this); }

    template <typename Function>
    void forEachStage (Function&& function)
    {
        std::apply ([&function] (auto&... stage)
                    { (function (stage), ...); },
                    circuit().stages());
    }

    auto& oversampledStage() noexcept
    {
        return std::apply ([] (auto&... stage) -> decltype (auto)
                           { return pickOversampled (stage...); },
                           circuit().stages());
    }

    template <typename First, typename... Others>
    static auto& pickOversampled (First& first, Others&... others) noexcept
    {
        if constexpr (isOversampled<First>)
        {
            static_assert ((! isOversampled<Others> && ...), "a circuit runs one stage oversampled");
            return first;
        }
        else
        {
            static_assert (sizeof...(Others) > 0, "a circuit runs one stage oversampled");
            return pickOversampled (others...);
        }
    }

    static bool isKnob (int index) noexcept { return index >= ModelParameters::drive && index <= ModelParameters::level; }

    float& knob (int index) noexcept { return index == ModelParameters::drive ? drive : (index == ModelParameters::tone ? tone : level); }

    // Hands a knob's value to a stage that follows it.
    template <typename Stage>
    void giveKnob (Stage& stage, int index)
    {
        if constexpr (followsKnobs<Stage>)
            if (stage.followsKnob (index))
                stage.setKnob (index, knob (index));
    }

    // A knob reaches the stages that follow it; the oversampled stage only when the timer does
    // not hold it.
    template <typename Stage>
    void routeKnob (Stage& stage, int index)
    {
        if constexpr (followsKnobs<Stage>)
        {
            if (! stage.followsKnob (index))
                return;

            if constexpr (isOversampled<Stage>)
                if (frame.deferWhileRebuilding (ModelFrame::routeWork (index)))
                    return;

            stage.setKnob (index, knob (index));
        }
    }

    template <typename Stage>
    void recompute (Stage& stage, int index)
    {
        if constexpr (followsKnobs<Stage>)
        {
            if (! stage.followsKnob (index))
                return;

            if constexpr (isOversampled<Stage>)
            {
                if (! frame.deferWhileRebuilding (ModelFrame::recomputeWork (index)))
                    stage.updateKnobs();
            }
            else
            {
                stage.update();
            }
        }
    }

    // What waited while the timer rebuilt the oversampled stage.
    void applyDeferred (uint32_t work)
    {
        if (ModelFrame::hasWork (work, ModelFrame::clearHistory))
            clearState();

        auto& oversampled = oversampledStage();

        if constexpr (followsKnobs<decltype (oversampled)>)
        {
            bool recomputeOversampled = false;

            for (auto index : knobs)
            {
                if (ModelFrame::hasWork (work, ModelFrame::routeWork (index)))
                    oversampled.setKnob (index, knob (index));

                recomputeOversampled = recomputeOversampled || ModelFrame::hasWork (work, ModelFrame::recomputeWork (index));
            }

            if (recomputeOversampled)
                oversampled.updateKnobs();
        }
    }

    // One block through the frame; right == nullptr for mono.
    void processBlock (float* left, float* right, int numSamples)
    {
        frame.process (
            left, right, numSamples, [this] (float* l, float* r, int n)
            { std::apply ([l, r, n] (auto&... stage)
                          { ModelFrame::runChain (l, r, n, stage...); },
                          circuit().stages()); },
            [this] (uint32_t work)
            { applyDeferred (work); });
    }

    // The raw knob values, 0 to 1.
    float drive = 0.0f;
    float tone = 0.0f;
    float level = 0.0f;
    int osIndex = 0;
    ModelFrame frame;
    std::atomic<bool> renderingOffline { false };
    std::atomic<bool> timerWorking { false };
    DetachableTimer timer { [this]
                            { timerCallback(); } };
};
