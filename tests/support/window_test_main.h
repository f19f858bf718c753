// The main() of a window test: the application set up as the programs set it up.
#pragma once

#include <QApplication>
#include <QtTest>

#include "forms/app_setup.h"

#define TAVIRO_WINDOW_TEST_MAIN(TestClass)      \
    int main(int argc, char* argv[]) {          \
        QApplication app(argc, argv);           \
        taviro::SetUpApplication(app);          \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
