#pragma once

#include "models/PlaceholderModel.h"

class BluesBreakerOverdrive : public PlaceholderModel
{
public:
    BluesBreakerOverdrive()
        : PlaceholderModel ("BluesBreakerOverdrive")
    {
    }
};
