#pragma once

#include "dsp/FxSZStage.h"

// Third-order block s-to-z stage (tone networks and buffers).
class FxSZBase3 : public FxSZStage<3>
{
};
