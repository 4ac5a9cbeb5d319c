#include "model/TextLines.h"

#include <gtest/gtest.h>

#include <array>

#include "TestFiles.h"
#include "model/Error.h"

namespace keelwright {
namespace {

std::vector<std::string> allLines(std::string_view text) {
    LineReader reader(text, "test.txt");
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        lines.emplace_back(reader.next());
    }
    return lines;
}

TEST(LineReader, SplitsAtLfAndCrLfAndKeepsTheBreakOutOfTheLine) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(allLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(allLines("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(allLines("a\r\nb"), (Lines{"a", "b"}));  // a last line without a break
    EXPECT_EQ(allLines("a\n\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(allLines("a\rb\n"), (Lines{"a\rb"}));  // a lone CR is no line break
    EXPECT_EQ(allLines("\xe9t\xe9\n"), (Lines{"\xe9t\xe9"}));  // single-byte text, untouched
    EXPECT_EQ(allLines(""), Lines{});
    EXPECT_EQ(allLines("\r\n"), (Lines{""}));
}

TEST(LineReader, ErrorsNameLinesPastTwoBillion) {
    // A WSC export of 160 million items has more lines than a 32-bit count can number.
    EXPECT_EQ(Error(ErrorNumber::TypeMismatch, "bad").at("big.wsc", 3'000'000'000).description(),
              "big.wsc:3000000000: bad");
}

TEST(LineReader, CountsRemainingLinesAndNumbersTheLinesItReturns) {
    LineReader reader("one\ntwo\nthree", "test.txt");
    EXPECT_EQ(reader.remainingLines(), 3u);
    reader.next();
    EXPECT_EQ(reader.lineNumber(), 1);
    EXPECT_EQ(reader.remainingLines(), 2u);
    reader.next();
    reader.next();
    EXPECT_EQ(reader.remainingLines(), 0u);
    EXPECT_TRUE(reader.atEnd());
}

TEST(LineReader, ReadingPastTheEndNamesTheFileAndTheMissingLine) {
    LineReader reader("one\n", "house.txt");
    reader.next();
    try {
        reader.next("the count line");
        FAIL() << "read past the end";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::InputPastEnd);
        EXPECT_EQ(e.description(), "house.txt:2: the file ends before the count line");
    }
}

TEST(SplitWords, CutsAtEverySingleSpace) {
    std::array<std::string_view, 4> words;
    EXPECT_EQ(SplitWords("604 -1 -1 0 1", words), 4u);
    EXPECT_EQ(words[0], "604");
    EXPECT_EQ(words[3], "0");

    EXPECT_EQ(SplitWords("604  -1 0 0", words), 4u);
    EXPECT_EQ(words[1], "");
    EXPECT_EQ(words[2], "-1");

    EXPECT_EQ(SplitWords(" 604 1", words), 3u);
    EXPECT_EQ(words[0], "");
    EXPECT_EQ(SplitWords("604\t1 2", words), 2u);
    EXPECT_EQ(words[0], "604\t1");
    EXPECT_EQ(SplitWords("", words), 1u);

    EXPECT_EQ(FirstWord("0e26 a word"), "0e26");
    EXPECT_EQ(FirstWord(" 0E28"), "");
    EXPECT_EQ(FirstWord("0E27"), "0E27");
}

TEST(TakeWord, CutsWordsAtRunsOfSpacesAndTabs) {
    const struct {
        std::string_view line;
        std::vector<std::string_view> words;
    } rows[] = {{"ID 1709", {"ID", "1709"}},
                {"\tX\t0\t", {"X", "0"}},
                {"  0x6A5  0 3\t7 0 ", {"0x6A5", "0", "3", "7", "0"}},
                {" \t ", {}},
                {"", {}}};
    for (const auto& row : rows) {
        std::string_view rest = row.line;
        std::vector<std::string_view> words;
        for (std::string_view word = TakeWord(rest); !word.empty(); word = TakeWord(rest)) {
            words.push_back(word);
        }
        EXPECT_EQ(words, row.words) << row.line;
        EXPECT_TRUE(rest.empty()) << row.line;
    }
}

TEST(ReadFileBytes, ReturnsTheBytesUnchangedAndNamesAMissingFile) {
    test::TempDir dir;
    const std::string bytes("a\r\nb\0c\xff", 7);
    EXPECT_EQ(ReadFileBytes(dir.write("f.bin", bytes)), bytes);
    EXPECT_EQ(ReadFileBytes(dir.write("empty", "")), "");

    const auto missing = dir / "missing.txt";
    try {
        ReadFileBytes(missing);
        FAIL() << "read a missing file";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        EXPECT_EQ(e.file(), missing.string());
    }
    EXPECT_THROW(ReadFileBytes(dir.path()), Error);
}

}  // namespace
}  // namespace keelwright
