#pragma once

#include "models/PlaceholderModel.h"

class LittleGreenOverdrive : public PlaceholderModel
{
public:
    LittleGreenOverdrive()
        : PlaceholderModel ("LittleGreenOverdrive")
    {
    }
};
