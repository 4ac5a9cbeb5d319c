#include "render/MulArtSource.h"

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/RecordLayout.h"
#include "mulfiles/TextFileRefusal.h"
#include "render/StaticArt.h"

namespace keelwright {
namespace {

std::string byteText(std::uint64_t offset) {
    return "byte " + NumberText(static_cast<std::int64_t>(offset));
}

}  // namespace

MulArtSource::MulArtSource(std::unique_ptr<RandomAccessFile> index, std::unique_ptr<RandomAccessFile> data)
    : index_(std::move(index)), data_(std::move(data)), indexSize_(index_->size()), dataSize_(data_->size()) {
    RefuseTextFile(*index_, "an artidx.mul");
    RefuseTextFile(*data_, "an art.mul");
}

MulArtSource::MulArtSource(FileSystem& fileSystem, const std::filesystem::path& artIdx,
                           const std::filesystem::path& artMul)
    : MulArtSource(fileSystem.open(artIdx, OpenMode::Read), fileSystem.open(artMul, OpenMode::Read)) {}

std::optional<ArtEntry> MulArtSource::staticEntry(std::uint16_t itemId) {
    const std::uint64_t at = (kStaticArtIndexBase + itemId) * std::uint64_t{kRecordSize};
    if (at + kRecordSize > indexSize_) {
        return std::nullopt;
    }
    RecordBytes bytes{};
    if (index_->readAt(at, bytes) != bytes.size()) {
        throw Error(ErrorNumber::InputPastEnd,
                    DescribeItem(itemId) + ": the index ends inside its record at " + byteText(at))
            .at(index_->name());
    }
    const auto recordOffset = GetLittleEndian<std::int32_t>(bytes.data());
    const auto recordLength = GetLittleEndian<std::int32_t>(bytes.data() + 4);
    if (recordOffset < 0 || recordLength <= 0) {
        return std::nullopt;
    }
    const auto offset = static_cast<std::uint64_t>(recordOffset);
    const auto length = static_cast<std::uint64_t>(recordLength);
    if (offset + length > dataSize_) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    DescribeItem(itemId) + ": the record at " + byteText(at) + " points at bytes " +
                        NumberText(recordOffset) + " to " +
                        NumberText(static_cast<std::int64_t>(offset + length)) + ", past the end of " +
                        data_->name() + " (" + NumberText(static_cast<std::int64_t>(dataSize_)) + " bytes)")
            .at(index_->name());
    }
    ArtEntry entry{std::vector<std::uint8_t>(length), data_->name(), offset};
    if (data_->readAt(offset, entry.bytes) != length) {
        throw Error(ErrorNumber::InputPastEnd,
                    DescribeItem(itemId) + ": the file ended inside the art entry at " + byteText(offset))
            .at(data_->name());
    }
    return entry;
}

}  // namespace keelwright
