#include "TestTables.h"

namespace keelwright::test {

ComponentTable TableOf(const std::vector<Row>& rows) {
    ComponentTable table;
    for (const Row& row : rows) {
        table.ItemId.push_back(row.itemId);
        table.X.push_back(row.x);
        table.Y.push_back(row.y);
        table.Z.push_back(row.z);
        table.Flags.push_back(row.flags);
    }
    table.Count = static_cast<std::int32_t>(rows.size());
    return table;
}

ComponentTable GeneratedTable(std::int32_t n) {
    std::vector<Row> rows;
    for (std::int32_t i = 0; i < n; ++i) {
        rows.push_back(Row{std::to_string(1000 + i % 20000), std::to_string(i % 41 - 20),
                           std::to_string(i / 41 % 41 - 20), std::to_string(i % 9 * 5),
                           std::to_string(i % 2)});
    }
    return TableOf(rows);
}

}  // namespace keelwright::test
