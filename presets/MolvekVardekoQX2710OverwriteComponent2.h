#pragma once

#include "presets/MolvekVardekoQX2710OverwriteComponent.h"

// The overwrite question inside the save browser: a confirmed overwrite also closes the browser.
class MolvekVardekoQX2710OverwriteComponent2 : public MolvekVardekoQX2710OverwriteComponent
{
public:
    using MolvekVardekoQX2710OverwriteComponent::MolvekVardekoQX2710OverwriteComponent;

    void onOk() override;
};
