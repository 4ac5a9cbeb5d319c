#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/Error.h"
#include "model/PartIds.h"
#include "model/TextColumn.h"

namespace keelwright {

class ComponentsList;

// An error met at one value of one component; the readers turn the entry into a line of their file.
class ComponentError : public Error {
public:
    enum class Column { ItemId, X, Y };

    ComponentError(const Error& cause, std::int32_t entry, Column column)
        : Error(cause), entry_(entry), column_(column) {}

    std::int32_t entry() const { return entry_; }
    Column column() const { return column_; }

private:
    std::int32_t entry_;
    Column column_;
};

// The loaded multi: five parallel columns of text, indexed from 0 in the order of the script, and the
// bounding box. Every value stays text: the words as a reader took them, X and Y as centring rewrote them,
// Flags "0" for a listed component and "1" for any other.
//
// Entries 0 to Count - 1 are valid. After a failed load the table is left as far as the load got, so Count
// and the number of stored entries may differ; a column reads entries it does not hold as empty text.
struct ComponentTable {
    std::int32_t Count = 0;
    TextColumn ItemId;
    TextColumn X;
    TextColumn Y;
    TextColumn Z;
    TextColumn Flags;
    std::int32_t MaxX = 0;
    std::int32_t MinX = 0;
    std::int32_t MaxY = 0;
    std::int32_t MinY = 0;
    // The part ids of the entries that have any (exact loads of UOP extracts), entry i's at index i; the
    // vector ends with the last entry that has some, so a multi without part ids costs nothing.
    std::vector<PartIdList> Parts;

    std::int32_t storedEntries() const { return static_cast<std::int32_t>(ItemId.size()); }

    // Back to nothing loaded: Count 0, no entries, all bounds 0.
    void ResetMulti();

    // Sized fill: Count becomes n before any component is stored; `expectedEntries` only sizes the columns.
    // An n below 1 throws and leaves the table empty.
    void BeginSizedFill(std::int32_t n, std::size_t expectedEntries);
    // Growing fill: Count stays as it is until EndGrowingFill sets it to the number of entries stored.
    void BeginGrowingFill(std::size_t expectedEntries);
    void EndGrowingFill();

    // Stores the next entry from the four words of a script, with Flags "1", and tracks the bounds. Throws
    // ComponentError for an x or y that is not a 32-bit number; the entry is stored before that.
    void StoreComponent(std::string_view itemId, std::string_view x, std::string_view y, std::string_view z);

    // Stores an entry as StoreComponent does, with its Flags as given; throws as StoreComponent does, and
    // for flags that are not a whole word of up to 64 bits (ToFlagsWord), the entry stored first.
    void StoreExactComponent(std::string_view itemId, std::string_view x, std::string_view y,
                             std::string_view z, std::string_view flags, PartIdList parts = {});

    // The part ids of an entry; none for an entry without any.
    std::span<const std::uint32_t> PartsOf(std::size_t entry) const;
    // The part ids of all entries together.
    std::size_t PartCount() const;

    // Moves the multi so that the centre of its bounding box lies at 0,0. Stops with a ComponentError at the
    // first X or Y that is not a number, with the entries before it moved and the bounds not.
    void CentreMulti();

    // Sets Flags "0" for every component whose item id the list names. Does nothing for an empty list.
    void MarkListedComponents(const ComponentsList& list);
};

}  // namespace keelwright
