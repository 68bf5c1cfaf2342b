#pragma once

#include "dsp/SZStage.h"

// Third-order per-sample s-to-z stage.
class SZBase3x : public SZStage<3>
{
};
