#pragma once

#include "framework/Occ.h"

// The control-container manager the application installs at start-up.
class CCustomOccManager : public COccManager
{
};
