#pragma once

#include "dsp/FxSZStage.h"

// Fourth-order block s-to-z stage.
class FxSZBase4 : public FxSZStage<4>
{
};
