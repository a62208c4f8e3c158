#include "support/TestMain.h"

#include <QApplication>

VARNELO_TEST_MAIN(QApplication)
