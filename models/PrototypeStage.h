#pragma once

#include "models/ModelParameters.h"

// A circuit's filter stage whose analog prototype follows its settings: Stage::getPrototype()
// gives the prototype for the present settings, and update() takes its coefficients. The
// knobs listed in reset return to 0, with the filter's coefficients, when the stage's
// parameters are initialised (other knobs keep their values).
//
//   class MyToneStage final : public PrototypeStage<MyToneStage, FxSZBase2, ModelParameters::tone>,
//                             public Knobs<ModelParameters::tone> { ... Prototype getPrototype() const noexcept; };
template <typename Stage, typename Filter, ModelParameters::Index... reset>
class PrototypeStage : public Filter
{
public:
    void update() override { this->setAnalogCoefficients (stage().getPrototype()); }

    void initParameters() override
    {
        (stage().setKnob (reset, 0.0f), ...);
        Filter::initParameters();
    }

private:
    Stage& stage() noexcept { return static_cast<Stage&> (*this); }
};
