#pragma once
// The free procedures of the main window (namespace Kpwfunc), one header per area.

#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/KpwServices.h"
#include "mainwindow/KpwUrl.h"
#include "mainwindow/KpwUserFiles.h"
