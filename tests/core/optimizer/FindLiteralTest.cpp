#include "optimizer/FindLiteral.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>

namespace vantor {
namespace {

TEST(FindLiteral, AgreesWithStringFindExceptForTheEmptyNeedle)
{
    // Few distinct bytes, so needles are found often, at the edges as well.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 3);
    std::uniform_int_distribution<std::size_t> length(0, 12);
    auto word = [&](std::size_t n) {
        std::string w;
        for (std::size_t i = 0; i < n; ++i)
            w += "<a/\xE4"[byte(random)];
        return w;
    };
    for (int round = 0; round < 5000; ++round) {
        const std::string haystack = word(length(random) * 3);
        const std::string needle = word(length(random) % 5 + 1);
        for (std::size_t from = 0; from <= haystack.size() + 1; ++from)
            ASSERT_EQ(findLiteral(haystack, needle, from), haystack.find(needle, from)) << needle << " in " << haystack;
        ASSERT_EQ(findLiteral(haystack, needle[0]), haystack.find(needle[0]));
    }

    EXPECT_EQ(findLiteral("abc", ""), std::string::npos);
    EXPECT_EQ(findLiteral("", ""), std::string::npos);
    EXPECT_EQ(findLiteral("", "a"), std::string::npos);
    EXPECT_EQ(findLiteral(std::string("a\0b", 3), std::string("\0b", 2)), 1u); // bytes, not C strings
}

} // namespace
} // namespace vantor
