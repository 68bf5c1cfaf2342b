#pragma once

#include "dsp/SZStage.h"

// Second-order per-sample s-to-z stage (the op-amp gain networks of the pre-clippers).
class SZBase2x : public SZStage<2>
{
};
