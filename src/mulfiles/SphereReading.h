#pragma once

// How Sphere reads Multi.idx and Multi.mul. Sphere takes the record size of the whole of Multi.mul from
// multi 0 alone: 16-byte records when multi 0's Length is a multiple of 16, 12-byte records otherwise and
// when multi 0 is free. A file whose multi 0 says the other size is misread whole, every multi of it.

#include <cstdint>
#include <optional>
#include <string>

#include "mulfiles/IndexRecord.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {

// Sphere sees multis 0 to 0x1FFF; a higher number is nothing to it.
inline constexpr std::int32_t kSphereMultiEnd = 0x2000;

// The record size Sphere reads Multi.mul in when slot 1 of Multi.idx (multi 0) holds `multi0`: 16 for a
// positive Length that is a multiple of 16, 12 for a free slot or any other positive Length. Nothing for
// a Length of 0 (a zero record): what Sphere makes of it is not known, so it counts as neither size.
std::optional<RecordSize> SphereRecordSize(const IndexRecord& multi0);

// Why Sphere misreads a Multi.mul of records of `size` whose multi 0 is `multi0` ("Sphere reads multi 0's
// 48 bytes as 3 records of 16: every multi of Multi.mul is misread"); nothing when it reads it right.
std::optional<std::string> SphereMisreading(const IndexRecord& multi0, RecordSize size);

// Throws InvalidFileFormat, before anything is written, when a write would leave multi 0 as `multi0` in a
// Multi.mul of records of `size` that Sphere then misreads; the reason says what to do instead.
void RefuseSphereMisreading(const IndexRecord& multi0, RecordSize size);

}  // namespace keelwright
