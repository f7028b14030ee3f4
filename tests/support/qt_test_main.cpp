// main() for tests that need a QApplication: widgets are real, drawn on the offscreen platform.
#include "support/test_environment.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    velorra::testing::isolateTestEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
