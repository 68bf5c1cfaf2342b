#include "dsp/ModuleModel.h"

#include <gtest/gtest.h>

namespace
{
class NamelessStage : public DspBase
{
};
}

TEST (ModuleTree, NameIsEmptyWhenNeverSet)
{
    NamelessStage stage;
    EXPECT_STREQ ("", stage.getName());
}
