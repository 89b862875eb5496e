#include "platform/check.h"

#include <gtest/gtest.h>

#include <string>

namespace xq {
namespace {

// With assertions the condition is evaluated once; without them not at all, so that a costly
// check (a whole-board comparison) vanishes from the game's build.
TEST(Assert, EvaluatesItsConditionOnlyWhenAssertionsAreOn) {
    int evaluations = 0;
    XQ_ASSERT(++evaluations > 0);
    EXPECT_EQ(evaluations, kAssertionsOn ? 1 : 0);
}

void BrokenPrecondition(int ranks) {
    XQ_ASSERT(ranks == 10);
}
constexpr int kBrokenPreconditionLine = __LINE__ - 2;

TEST(AssertDeathTest, AFalseConditionAbortsNamingFileLineAndCondition) {
    if (!kAssertionsOn) GTEST_SKIP() << "built without XQ_ASSERTIONS";
    BrokenPrecondition(10);
    EXPECT_DEATH(BrokenPrecondition(9),
                 "check_test.cpp:" + std::to_string(kBrokenPreconditionLine) +
                     ": assertion failed: ranks == 10\n");
}

}  // namespace
}  // namespace xq
