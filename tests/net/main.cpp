#include "support/TestMain.h"

#include <QCoreApplication>

VARNELO_TEST_MAIN(QCoreApplication)
