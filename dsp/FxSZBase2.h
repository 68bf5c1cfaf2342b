#pragma once

#include "dsp/FxSZStage.h"

// Second-order block s-to-z stage.
class FxSZBase2 : public FxSZStage<2>
{
};
