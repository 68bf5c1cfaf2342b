#pragma once

#include "models/PlaceholderModel.h"

class OCDOverdrive : public PlaceholderModel
{
public:
    OCDOverdrive()
        : PlaceholderModel ("OCDOverdrive")
    {
    }
};
