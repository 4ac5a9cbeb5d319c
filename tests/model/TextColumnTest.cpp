#include "model/TextColumn.h"

#include <gtest/gtest.h>

namespace keelwright {
namespace {

TEST(TextColumn, KeepsTextsInOrderAndReadsMissingOnesAsEmpty) {
    TextColumn column;
    for (const char* text : {"604", "", "-12", "1.5"}) {
        column.push_back(text);
    }
    EXPECT_EQ(column.size(), 4u);
    EXPECT_EQ(column[0], "604");
    EXPECT_EQ(column[1], "");
    EXPECT_EQ(column[3], "1.5");
    EXPECT_EQ(column[4], "");
    EXPECT_EQ(column[1000], "");
}

TEST(TextColumn, ReplacingATextOfAnotherLengthKeepsTheOthers) {
    TextColumn column;
    for (const char* text : {"a", "bb", "ccc", "dddd"}) {
        column.push_back(text);
    }
    column.set(1, "x");
    column.set(2, "yyyyy");
    column.set(0, "");
    column.set(3, "zzzz");
    EXPECT_EQ(column[0], "");
    EXPECT_EQ(column[1], "x");
    EXPECT_EQ(column[2], "yyyyy");
    EXPECT_EQ(column[3], "zzzz");

    TextColumn copy;
    copy.push_back("first");
    copy.append(column, 2);
    EXPECT_EQ(copy.size(), 3u);
    EXPECT_EQ(copy[1], "yyyyy");
}

}  // namespace
}  // namespace keelwright
