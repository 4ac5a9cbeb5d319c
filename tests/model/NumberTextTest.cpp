#include "model/NumberText.h"

#include <gtest/gtest.h>

#include "model/Error.h"

namespace keelwright {
namespace {

TEST(NumberText, ReadsDecimalTextWithSignFractionAndSurroundingBlanks) {
    struct Row {
        const char* text;
        const char* shortest;
    };
    const Row rows[] = {
        {"12", "12"},        {"-3", "-3"},        {"+5", "5"},          {"05", "5"},
        {" 7 ", "7"},        {"\t-8\t", "-8"},    {"2.5", "2.5"},       {"-2.50", "-2.5"},
        {"0.0", "0"},        {"-0", "0"},         {"-0.000", "0"},      {".5", "0.5"},
        {"5.", "5"},         {"007.0100", "7.01"}, {"2147483648", "2147483648"},
        {"0.30000000000000000000000000001", "0.30000000000000000000000000001"},
    };
    for (const Row& row : rows) {
        const std::optional<Number> number = Number::parse(row.text);
        ASSERT_TRUE(number.has_value()) << row.text;
        EXPECT_EQ(number->toText(), row.shortest) << row.text;
    }
}

TEST(NumberText, RejectsEverythingThatIsNotADecimalNumber) {
    for (const char* text : {"", " ", "-", "+", ".", "-.", "abc", "1a", "a1", "1 2", "1,000", "1e3", "&H10",
                             "0x10", "+-1", "- 1", "1..2", "1.2.3", "1-"}) {
        EXPECT_FALSE(Number::parse(text).has_value()) << '"' << text << '"';
    }
}

TEST(NumberText, RoundsFractionsToTheNearestIntegerAndHalvesToTheEvenNeighbour) {
    struct Row {
        const char* text;
        std::int64_t rounded;
    };
    const Row rows[] = {
        {"2.5", 2},    {"3.5", 4},     {"-2.5", -2},   {"-3.5", -4},  {"0.5", 0},    {"-0.5", 0},
        {"1.5", 2},    {"2.4", 2},     {"2.6", 3},     {"2.51", 3},   {"2.500000001", 3},
        {"-2.51", -3}, {"7", 7},       {"-0.4", 0},    {"32767.5", 32768},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Number::parse(row.text)->roundHalfEven(), row.rounded) << row.text;
    }
    // Rounding up to 10^18 gives 19 digits, which no number of the tool has, as 19 digits read do not.
    EXPECT_EQ(Number::parse("999999999999999999.4")->roundHalfEven(), 999'999'999'999'999'999);
    EXPECT_FALSE(Number::parse("999999999999999999.6")->roundHalfEven().has_value());
    EXPECT_FALSE(Number::parse("-999999999999999999.5")->roundHalfEven().has_value());
}

TEST(NumberText, ComparesByExactValue) {
    EXPECT_EQ(Number::parse("2.5")->compare(2), 1);
    EXPECT_EQ(Number::parse("2.5")->compare(3), -1);
    EXPECT_EQ(Number::parse("-2.5")->compare(-2), -1);
    EXPECT_EQ(Number::parse("-2.5")->compare(-3), 1);
    EXPECT_EQ(Number::parse("-2")->compare(-2), 0);
    EXPECT_EQ(Number::parse("0.0")->compare(0), 0);
    EXPECT_EQ(Number::parse("0.1")->compare(-1), 1);
    EXPECT_EQ(Number::parse("-0.1")->compare(0), -1);
    EXPECT_EQ(Number::parse("99999999999999999999999")->compare(2147483647), 1);
    EXPECT_EQ(Number::parse("-99999999999999999999999")->compare(-2147483647), -1);
}

TEST(NumberText, SubtractsExactlyWithoutFloatingPointNoise) {
    struct Row {
        const char* text;
        std::int32_t offset;
        const char* difference;
    };
    const Row rows[] = {
        {"430", 431, "-1"},     {"05", 5, "0"},        {"2.5", 2, "0.5"},    {"2.5", 3, "-0.5"},
        {"0.1", 3, "-2.9"},     {"-0.25", 1, "-1.25"}, {"-0.25", -1, "0.75"}, {"-2.5", -2, "-0.5"},
        {"1.01", 2, "-0.99"},   {"0.3", 0, "0.3"},     {"-3.75", -4, "0.25"}, {"10.1", 10, "0.1"},
        {"-2147483648", -2147483648, "0"},              {"2147483647", -2147483648, "4294967295"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Number::parse(row.text)->minus(row.offset).toText(), row.difference)
            << row.text << " - " << row.offset;
    }
    // A result of 19 digits has no exact text, as an input of 19 digits has none.
    EXPECT_THROW(Number::parse("\t999999999999999999")->minus(-94107), Error);
    EXPECT_THROW(Number::parse("-999999999999999999")->minus(1), Error);
    EXPECT_EQ(Number::parse("-999999999999999999")->minus(-1).toText(), "-999999999999999998");
}

TEST(NumberText, ConvertsToFixedWidthIntegersWithRangeChecks) {
    EXPECT_EQ(ToInt16("32767"), 32767);
    EXPECT_EQ(ToInt16("-32768"), -32768);
    EXPECT_EQ(ToInt16(" -3 "), -3);
    EXPECT_EQ(ToInt16("32767.4"), 32767);
    EXPECT_EQ(ToInt32("2147483647"), 2147483647);
    EXPECT_EQ(ToInt32("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ToInt32("1.5"), 2);

    for (const char* text : {"32768", "-32769", "32767.5", "40000"}) {
        try {
            ToInt16(text, "item id");
            ADD_FAILURE() << text << " converted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::Overflow) << text;
            EXPECT_NE(e.reason().find("item id"), std::string::npos) << e.reason();
        }
    }
    EXPECT_THROW(ToInt32("2147483648"), Error);
    EXPECT_THROW(ToInt32("123456789012345678901234567890"), Error);
    try {
        ToInt32("", "x");
        ADD_FAILURE() << "the empty text converted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::TypeMismatch);
        EXPECT_EQ(e.report(), "13 x \"\" is not a number");
    }
}

TEST(NumberText, WritesUpperCaseHexWithoutLeadingZerosAndTwosComplementForNegatives) {
    EXPECT_EQ(Hex16(622), "26E");
    EXPECT_EQ(Hex16(0), "0");
    EXPECT_EQ(Hex16(1), "1");
    EXPECT_EQ(Hex16(0xFFFD), "FFFD");
    EXPECT_EQ(Hex32(1234 + 16383), "44D1");
    EXPECT_EQ(Hex32(16383), "3FFF");
    EXPECT_EQ(Hex32(-1), "FFFFFFFF");

    EXPECT_EQ(ItemIdHexForm("622"), "026E");
    EXPECT_EQ(ItemIdHexForm("1200"), "04B0");
    EXPECT_EQ(ItemIdHexForm("0"), "00");
    EXPECT_EQ(ItemIdHexForm("-1"), "0FFFF");
    EXPECT_EQ(ItemIdHexForm("621.5"), "026E");
    EXPECT_EQ(ItemIdHexForm("40000"), "09C40");
    EXPECT_THROW(ItemIdHexForm("door"), Error);
}

TEST(NumberText, ReadsItemIdsAsUnsignedDecimalNegativeBitPatternsOrPrefixedHex) {
    struct Row {
        const char* text;
        std::uint16_t id;
    };
    const Row accepted[] = {
        {"0", 0},       {"65535", 0xFFFF},  {"33057", 33057},    {"-1", 0xFFFF},    {"-32768", 0x8000},
        {"621.5", 622}, {" 7 ", 7},         {"0x06AD", 0x06AD},  {"0X6ad", 0x06AD}, {"0xFFFF", 0xFFFF},
        {"0x0", 0},     {"\t0x00001\t", 1}, {"65535.4", 0xFFFF},
    };
    for (const Row& row : accepted) {
        EXPECT_EQ(ToItemId(row.text), row.id) << row.text;
    }
    struct Refused {
        const char* text;
        ErrorNumber number;
    };
    const Refused refused[] = {
        {"65536", ErrorNumber::Overflow},
        {"-32769", ErrorNumber::Overflow},
        {"65535.5", ErrorNumber::Overflow},
        {"0x10000", ErrorNumber::Overflow},
        {"0x1234567890ABCDEF12", ErrorNumber::Overflow},
        {"0x", ErrorNumber::TypeMismatch},
        {"0x-1", ErrorNumber::TypeMismatch},
        {"0x6G", ErrorNumber::TypeMismatch},
        {"06AD", ErrorNumber::TypeMismatch},
        {"", ErrorNumber::TypeMismatch},
    };
    for (const Refused& row : refused) {
        try {
            ToItemId(row.text);
            ADD_FAILURE() << row.text << " converted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), row.number) << row.text;
            EXPECT_NE(e.reason().find("item id"), std::string::npos) << e.reason();
        }
    }
}

TEST(NumberText, ErrorsQuoteInputShortAndWithoutControlBytes) {
    struct Row {
        std::string input;
        std::string quoted;
    };
    const Row rows[] = {
        {"12a", "\"12a\""},
        {"\x1b[31mred\x7f\xe9", "\"\\x1B[31mred\\x7F\\xE9\""},
        {std::string(80, 'x'), "\"" + std::string(80, 'x') + "\""},
        {std::string(10'000'000, '7'), "\"" + std::string(80, '7') + "\"\xE2\x80\xA6"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(QuoteInput(row.input), row.quoted);
    }
    try {
        ToInt32(std::string(10'000'000, '9') + "\x1b", "count");
        ADD_FAILURE() << "converted";
    } catch (const Error& e) {
        EXPECT_LT(e.description().size(), 120U) << "the reason echoes the whole input";
    }
    // A file name keeps its letters beyond ASCII but not its control characters.
    EXPECT_EQ(
        Error(ErrorNumber::FileNotFound, "file not found").at("\xCE\xB1\x1b]0;x\x07.txt", 3).description(),
        "\xCE\xB1\\x1B]0;x\\x07.txt:3: file not found");
}

TEST(NumberText, WritesIntegersInShortestDecimalForm) {
    EXPECT_EQ(NumberText(-3), "-3");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(12), "12");
    EXPECT_EQ(NumberText(-2147483648LL), "-2147483648");
}

}  // namespace
}  // namespace keelwright
