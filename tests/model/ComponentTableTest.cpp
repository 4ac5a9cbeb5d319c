#include "model/ComponentTable.h"

#include <gtest/gtest.h>

#include "model/ComponentsList.h"
#include "model/Error.h"

namespace keelwright {
namespace {

struct Xy {
    const char* x;
    const char* y;
};

ComponentTable grown(std::initializer_list<Xy> positions, const char* itemId = "604") {
    ComponentTable table;
    table.BeginGrowingFill(positions.size());
    for (const Xy& p : positions) {
        table.StoreComponent(itemId, p.x, p.y, "0");
    }
    table.EndGrowingFill();
    return table;
}

std::vector<std::string> xs(const ComponentTable& table) {
    std::vector<std::string> result;
    for (std::int32_t i = 0; i < table.Count; ++i) {
        result.emplace_back(table.X[static_cast<std::size_t>(i)]);
    }
    return result;
}

TEST(ComponentTable, ResetMultiEmptiesTheTableAndZeroesTheBounds) {
    ComponentTable table = grown({{"3", "4"}, {"9", "-2"}});
    table.ResetMulti();
    EXPECT_EQ(table.Count, 0);
    EXPECT_EQ(table.storedEntries(), 0);
    EXPECT_TRUE(table.Flags.empty());
    EXPECT_EQ(table.MaxX, 0);
    EXPECT_EQ(table.MinX, 0);
    EXPECT_EQ(table.MaxY, 0);
    EXPECT_EQ(table.MinY, 0);
}

TEST(ComponentTable, StoringKeepsTheWordsAsReadWithFlagsOneAndTracksTheBounds) {
    ComponentTable table = grown({{"5", "7"}, {"-2", "7"}, {"2.5", "12"}, {"8", "-1"}});
    EXPECT_EQ(table.Count, 4);
    EXPECT_EQ(table.X[2], "2.5");
    EXPECT_EQ(table.Flags[0], "1");
    EXPECT_EQ(table.MinX, -2);
    EXPECT_EQ(table.MaxX, 8);
    EXPECT_EQ(table.MinY, -1);
    EXPECT_EQ(table.MaxY, 12);

    // A fractional x is compared by its exact value but kept in a bound as an integer.
    ComponentTable fractional = grown({{"2", "0"}, {"2.5", "0"}});
    EXPECT_EQ(fractional.MaxX, 2);
}

TEST(ComponentTable, BoundsTrackingFailsOnTextThatIsNotANumberOrTooWide) {
    ComponentTable table;
    table.BeginGrowingFill(2);
    table.StoreComponent("604", "1", "1", "0");
    try {
        table.StoreComponent("604", "1", "north", "0");
        FAIL() << "stored a y that is not a number";
    } catch (const ComponentError& e) {
        EXPECT_EQ(e.entry(), 1);
        EXPECT_EQ(e.column(), ComponentError::Column::Y);
        EXPECT_EQ(e.number(), ErrorNumber::TypeMismatch);
    }
    EXPECT_THROW(table.StoreComponent("604", "3000000000", "1", "0"), ComponentError);
}

TEST(ComponentTable, SizedFillSetsTheCountFirstAndRejectsCountsBelowOne) {
    ComponentTable table;
    table.BeginSizedFill(3, 3);
    EXPECT_EQ(table.Count, 3);
    EXPECT_EQ(table.X[2], "");  // not stored yet

    ComponentTable refused;
    EXPECT_THROW(refused.BeginSizedFill(0, 10), Error);
    EXPECT_THROW(refused.BeginSizedFill(-5, 10), Error);
    EXPECT_EQ(refused.Count, 0);
}

TEST(ComponentTable, CentreMultiMovesTheBoundingBoxCentreToTheOriginRoundingHalvesToEven) {
    struct Row {
        std::initializer_list<Xy> positions;
        std::vector<std::string> centredX;
        std::int32_t minX, maxX;
    };
    const Row rows[] = {
        {{{"0", "0"}, {"5", "0"}}, {"-2", "3"}, -2, 3},         // centre 2.5 rounds to 2
        {{{"0", "0"}, {"7", "0"}}, {"-4", "3"}, -4, 3},         // centre 3.5 rounds to 4
        {{{"-3", "0"}, {"5", "0"}}, {"-4", "4"}, -4, 4},        // centre 1
        {{{"-1", "0"}, {"0", "0"}, {"1", "0"}}, {"-1", "0", "1"}, -1, 1},  // already centred
        {{{"05", "0"}}, {"0"}, 0, 0},                            // centring rewrites the text
        {{{"+5", "0"}}, {"0"}, 0, 0},
        {{{"0", "0"}, {"2.5", "0"}, {"4", "0"}}, {"-2", "0.5", "2"}, -2, 2},
    };
    for (const Row& row : rows) {
        ComponentTable table = grown(row.positions);
        table.CentreMulti();
        EXPECT_EQ(xs(table), row.centredX);
        EXPECT_EQ(table.MinX, row.minX);
        EXPECT_EQ(table.MaxX, row.maxX);
    }
}

TEST(ComponentTable, CentreMultiOfOneComponentPutsItAtTheOriginAndLeavesZAlone) {
    ComponentTable table;
    table.BeginGrowingFill(1);
    table.StoreComponent("604", "234", "567", "05");
    table.EndGrowingFill();
    EXPECT_EQ(table.MaxX, 234);
    EXPECT_EQ(table.MinY, 567);
    table.CentreMulti();
    EXPECT_EQ(table.X[0], "0");
    EXPECT_EQ(table.Y[0], "0");
    EXPECT_EQ(table.Z[0], "05");
    EXPECT_EQ(table.ItemId[0], "604");
    EXPECT_EQ(table.MaxX, 0);
    EXPECT_EQ(table.MinX, 0);
    EXPECT_EQ(table.MaxY, 0);
    EXPECT_EQ(table.MinY, 0);
}

TEST(ComponentTable, CentreMultiStopsAtAnEntryThatIsNotANumberWithEarlierEntriesMovedAndBoundsNot) {
    ComponentTable table = grown({{"10", "10"}, {"12", "14"}, {"14", "12"}});
    table.Y.set(1, "north");
    try {
        table.CentreMulti();
        FAIL() << "centred an entry whose y is not a number";
    } catch (const ComponentError& e) {
        EXPECT_EQ(e.entry(), 1);
        EXPECT_EQ(e.column(), ComponentError::Column::Y);
    }
    EXPECT_EQ(table.X[0], "-2");
    EXPECT_EQ(table.Y[0], "-2");
    EXPECT_EQ(table.X[1], "0");  // x of the failing entry was already moved
    EXPECT_EQ(table.X[2], "14");
    EXPECT_EQ(table.MaxX, 14);
    EXPECT_EQ(table.MinY, 10);
}

TEST(ComponentTable, CentreMultiWithNothingLoadedMovesNothing) {
    ComponentTable table;
    table.MaxX = 5;  // bounds stay as they are when there is no component
    table.CentreMulti();
    EXPECT_EQ(table.MaxX, 5);
}

TEST(ComponentTable, MarkListedComponentsComparesTheHexFormExactly) {
    const ComponentsList list({"026E", "0026E", "04B0", "0FFFF"});
    ComponentTable table;
    table.BeginGrowingFill(5);
    for (const char* id : {"622", "1200", "1201", "-1", "622.4"}) {
        table.StoreComponent(id, "0", "0", "0");
    }
    table.EndGrowingFill();
    table.MarkListedComponents(list);
    EXPECT_EQ(table.Flags[0], "0");
    EXPECT_EQ(table.Flags[1], "0");
    EXPECT_EQ(table.Flags[2], "1");
    EXPECT_EQ(table.Flags[3], "0");
    EXPECT_EQ(table.Flags[4], "0");  // rounds to 622

    const ComponentsList lowerCaseOrPadded({"0026E", "026e", "26E"});
    ComponentTable unmatched = grown({{"0", "0"}}, "622");
    unmatched.MarkListedComponents(lowerCaseOrPadded);
    EXPECT_EQ(unmatched.Flags[0], "1");
}

TEST(ComponentTable, MarkListedComponentsConvertsIdsOnlyWhenTheListHasEntries) {
    ComponentTable table = grown({{"0", "0"}, {"1", "1"}}, "70000");
    table.MarkListedComponents(ComponentsList{});
    EXPECT_EQ(table.Flags[0], "1");

    try {
        table.MarkListedComponents(ComponentsList({"0E26"}));
        FAIL() << "marked an item id that is not a 16-bit number";
    } catch (const ComponentError& e) {
        EXPECT_EQ(e.entry(), 0);
        EXPECT_EQ(e.column(), ComponentError::Column::ItemId);
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
}

}  // namespace
}  // namespace keelwright
