#pragma once
// The free procedures of the main window (namespace Kpwfunc), one header per area.

#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/KpwUserFiles.h"
#include "services/KpwUrl.h"
