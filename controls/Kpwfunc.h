#pragma once
// The free procedures of the window side that work on what they are given (namespace Kpwfunc), one
// header per area. Those that work on the main window itself are in mainwindow/WindowTabs.h and
// mainwindow/WindowSearch.h.

#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/KpwUserFiles.h"
#include "services/KpwUrl.h"
