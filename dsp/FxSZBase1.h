#pragma once

#include "dsp/FxSZStage.h"

// First-order block s-to-z stage (coupling high-passes).
class FxSZBase1 : public FxSZStage<1>
{
};
