// main() for tests without widgets.
#include "support/test_environment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    velorra::testing::isolateTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
