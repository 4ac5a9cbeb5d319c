#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/PartIds.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/FileSystem.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {

// Extraction runs in steps so that the window can read both client files before it asks where to write:
// ParseMultiNumber, ReadIndexEntry, DecideRecordSize (RecordSizeDecision.h), ExtractMultiText, then
// WriteFileAtomically (AtomicFile.h).

// The highest multi number an extraction takes: its slot must fit a signed 16-bit number.
inline constexpr std::int32_t kHighestExtractableMulti = 32766;

// Reads a typed multi number. Empty (after trimming blanks) means the user wants nothing done. Otherwise
// it must be a whole decimal number or "0x" and hexadecimal digits, from 0 to `highest`, else Error
// (TypeMismatch or Overflow).
std::optional<std::int32_t> ParseMultiNumber(std::string_view typed,
                                             std::int32_t highest = kHighestExtractableMulti);

// Reads the index entry of a slot. Throws BadRecordNumber for a slot that is not a whole record of the
// index (past its end); refuses a UOP container (RefuseUopContainer).
IndexRecord ReadIndexEntry(FileSystem& fileSystem, const std::filesystem::path& multiIdx, std::int32_t slot);

// The bytes of the block an entry points at, read from Multi.mul in records of `size`. Throws, before the
// block is read, for a free slot or a Length that is not a whole positive multiple of the record size, for a
// block that reaches past the end of Multi.mul and for a UOP container.
std::vector<std::uint8_t> ReadMultiBlock(FileSystem& fileSystem, const std::filesystem::path& multiMul,
                                         std::int32_t slot, const IndexRecord& entry, RecordSize size);

// The multi text of the block an entry points at (ReadMultiBlock, then MultiTextOfBlock), built whole in
// memory.
std::string ExtractMultiText(FileSystem& fileSystem, const std::filesystem::path& multiMul, std::int32_t slot,
                             const IndexRecord& entry, RecordSize size);

// The components of the block an entry points at (ReadMultiBlock, then ComponentsOfBlock).
std::vector<ComponentRecord> ExtractMultiComponents(FileSystem& fileSystem,
                                                    const std::filesystem::path& multiMul, std::int32_t slot,
                                                    const IndexRecord& entry, RecordSize size);

// The components of a block's bytes: a first record that is the lead record is dropped. Throws for a block
// that is not a whole positive number of records.
std::vector<ComponentRecord> ComponentsOfBlock(std::span<const std::uint8_t> block, RecordSize size);

// The multi text of a block's bytes (a whole positive number of records of `size`; a first record that is
// the lead record is dropped, any other is a component): "6 version", "1 template id", "-1 item version",
// "N num components", then "ItemId X Y Z Flags" per component, every line ending in CR LF.
std::string MultiTextOfBlock(std::span<const std::uint8_t> block, RecordSize size);

// The multi text of the components, every one written (Extra has no place in the text).
std::string MultiTextOfComponents(std::span<const ComponentRecord> components);

// The exact multi text of a block: every record a component line, a first lead record included, and the
// Flags the whole word of the record (bytes 8 to 11, or 8 to 15 of a 16-byte record) in unsigned decimal.
// Loaded with LoadOptions::exact and patched exactly it gives back the same bytes.
std::string ExactMultiTextOfBlock(std::span<const std::uint8_t> block, RecordSize size);
// The exact multi text of records, Flags and Extra written as one 64-bit word (Extra the upper half), and
// after it the part ids of record k from parts[k] (a UOP's; Multi.mul has none).
std::string ExactMultiTextOfRecords(std::span<const ComponentRecord> records,
                                    std::span<const PartIdList> parts = {});

}  // namespace keelwright
