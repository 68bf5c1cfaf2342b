#pragma once

#include "models/PlaceholderModel.h"

class TS9Overdrive : public PlaceholderModel
{
public:
    TS9Overdrive()
        : PlaceholderModel ("TS9Overdrive")
    {
    }
};
