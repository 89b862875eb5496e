// Reading the numbers typed into the dialogs: whole numbers for the piece values, the colour
// components and the depth; the leading real of a time value.
#include "ui/dialogs/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>

namespace xq {
namespace {

TEST(ParseWholeNumber, TakesOnlyAWholeDecimalNumber) {
    const struct {
        const char* text;
        std::optional<int64_t> number;
    } rows[] = {
        {"0", 0},
        {"007", 7},
        {" 12 ", 12},
        {"+5", 5},
        {"-1", -1},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"1x", std::nullopt},
        {"1.0", std::nullopt},
        {"1 2", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"0x10", std::nullopt},
        {"１２", std::nullopt},
        {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseWholeNumber(row.text), row.number) << '"' << row.text << '"';
}

TEST(ParseLeadingReal, TakesTheLongestLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } rows[] = {
        {"2.5", 2.5}, {" 2.5s", 2.5}, {"5.", 5.0},  {".5", 0.5},   {"-3", -3.0},
        {"+4", 4.0},  {"1e2", 100.0}, {"1e", 1.0},  {"1e+", 1.0},  {"2.5.1", 2.5},
        {"", 0.0},    {"abc", 0.0},   {".", 0.0},   {"-", 0.0},    {"e5", 0.0},
        {"x2", 0.0},  {"1,5", 1.0},   {"inf", 0.0}, {"0x10", 0.0}, {"\t7", 7.0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseLeadingReal(row.text), row.value) << '"' << row.text << '"';
    EXPECT_TRUE(std::isinf(ParseLeadingReal("1e999")));
}

}  // namespace
}  // namespace xq
