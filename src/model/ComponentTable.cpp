#include "model/ComponentTable.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "model/ComponentsList.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

using Column = ComponentError::Column;

constexpr std::size_t kTypicalTextBytes = 5;  // sizes the columns; longer texts only cost a reallocation

// Runs a conversion of one value, turning its Error into a ComponentError for that value.
template <typename Conversion>
auto convertValue(std::int32_t entry, Column column, Conversion&& conversion) {
    try {
        return conversion();
    } catch (const ComponentError&) {
        throw;
    } catch (const Error& e) {
        throw ComponentError(e, entry, column);
    }
}

// Bounds tracking of one coordinate: the first entry sets both bounds, later ones may extend them.
void trackBound(std::int32_t entry, Column column, std::string_view text, bool first, std::int32_t& low,
                std::int32_t& high) {
    const char* what = column == Column::X ? "x" : "y";
    convertValue(entry, column, [&] {
        const Number value = ReadNumber(text, what);
        if (first) {
            low = high = ToInt32(value, text, what);
            return;
        }
        if (value.compare(high) > 0) {
            high = ToInt32(value, text, what);
        }
        if (value.compare(low) < 0) {
            low = ToInt32(value, text, what);
        }
    });
}

// The nearest integer to (low + high) / 2, halves to the even neighbour.
std::int32_t midpoint(std::int32_t low, std::int32_t high) {
    const std::int64_t sum = std::int64_t{low} + high;
    std::int64_t half = sum / 2;  // rounded towards zero
    if (sum % 2 != 0 && half % 2 != 0) {
        half += sum > 0 ? 1 : -1;
    }
    return static_cast<std::int32_t>(half);
}

std::int32_t shifted(std::int32_t bound, std::int32_t centre) {
    const std::int64_t moved = std::int64_t{bound} - centre;
    if (moved < std::numeric_limits<std::int32_t>::min() ||
        moved > std::numeric_limits<std::int32_t>::max()) {
        throw Error(ErrorNumber::Overflow, "the multi is too wide to centre");
    }
    return static_cast<std::int32_t>(moved);
}

}  // namespace

void ComponentTable::ResetMulti() {
    Count = 0;
    for (TextColumn* column : {&ItemId, &X, &Y, &Z, &Flags}) {
        column->clear();
    }
    Parts.clear();
    MaxX = MinX = MaxY = MinY = 0;
}

void ComponentTable::BeginSizedFill(std::int32_t n, std::size_t expectedEntries) {
    if (n < 1) {
        throw Error(ErrorNumber::InvalidCall, "the component count " + std::to_string(n) + " is below 1");
    }
    Count = n;
    // Entries past the stored ones read as empty, so a count far beyond the file reserves nothing for them.
    BeginGrowingFill(std::min<std::size_t>(static_cast<std::size_t>(n), expectedEntries));
}

void ComponentTable::BeginGrowingFill(std::size_t expectedEntries) {
    for (TextColumn* column : {&ItemId, &X, &Y, &Z, &Flags}) {
        column->clear();
        column->reserve(expectedEntries, expectedEntries * kTypicalTextBytes);
    }
    Parts.clear();
}

void ComponentTable::EndGrowingFill() {
    Count = storedEntries();
}

void ComponentTable::StoreComponent(std::string_view itemId, std::string_view x, std::string_view y,
                                    std::string_view z) {
    if (ItemId.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error(ErrorNumber::Overflow, "a multi holds at most " +
                                               std::to_string(std::numeric_limits<std::int32_t>::max()) +
                                               " components");
    }
    const std::int32_t i = storedEntries();
    ItemId.push_back(itemId);
    X.push_back(x);
    Y.push_back(y);
    Z.push_back(z);
    Flags.push_back("1");

    const bool first = i == 0;
    trackBound(i, Column::X, x, first, MinX, MaxX);
    trackBound(i, Column::Y, y, first, MinY, MaxY);
}

void ComponentTable::StoreExactComponent(std::string_view itemId, std::string_view x, std::string_view y,
                                         std::string_view z, std::string_view flags, PartIdList parts) {
    StoreComponent(itemId, x, y, z);
    const std::size_t entry = ItemId.size() - 1;
    Flags.set(entry, flags);
    ToFlagsWord(flags);
    if (!parts.empty()) {
        Parts.resize(entry + 1);
        Parts[entry] = std::move(parts);
    }
}

std::span<const std::uint32_t> ComponentTable::PartsOf(std::size_t entry) const {
    return entry < Parts.size() ? std::span<const std::uint32_t>(Parts[entry])
                                : std::span<const std::uint32_t>();
}

std::size_t ComponentTable::PartCount() const {
    std::size_t count = 0;
    for (const PartIdList& parts : Parts) {
        count += parts.size();
    }
    return count;
}

void ComponentTable::CentreMulti() {
    const std::int32_t centreX = midpoint(MinX, MaxX);
    const std::int32_t centreY = midpoint(MinY, MaxY);
    const auto moved = [](std::string_view text, const char* what, std::int32_t centre) {
        return ReadNumber(text, what).minus(centre).toText();
    };

    // The centred texts go to new columns, which replace the old ones also when an entry fails: that entry
    // and the ones after it keep their old texts.
    TextColumn movedX;
    TextColumn movedY;
    movedX.reserve(X.size(), X.size() * kTypicalTextBytes);
    movedY.reserve(Y.size(), Y.size() * kTypicalTextBytes);
    const auto replaceColumns = [&] {
        movedX.append(X, movedX.size());
        movedY.append(Y, movedY.size());
        X.swap(movedX);
        Y.swap(movedY);
    };
    for (std::int32_t i = 0; i < Count; ++i) {
        try {
            movedX.push_back(convertValue(i, Column::X, [&] { return moved(X[i], "x", centreX); }));
            movedY.push_back(convertValue(i, Column::Y, [&] { return moved(Y[i], "y", centreY); }));
        } catch (const ComponentError&) {
            replaceColumns();
            throw;
        }
    }
    replaceColumns();
    if (Count > 0) {
        MaxX = shifted(MaxX, centreX);
        MinX = shifted(MinX, centreX);
        MaxY = shifted(MaxY, centreY);
        MinY = shifted(MinY, centreY);
    }
}

void ComponentTable::MarkListedComponents(const ComponentsList& list) {
    if (list.empty()) {
        return;
    }
    for (std::int32_t i = 0; i < Count; ++i) {
        const std::uint16_t itemId = convertValue(i, Column::ItemId, [&] { return ToItemId(ItemId[i]); });
        if (list.listsItem(itemId)) {
            Flags.set(static_cast<std::size_t>(i), "0");
        }
    }
}

}  // namespace keelwright
