#include "mulfiles/SphereReading.h"

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {

std::optional<RecordSize> SphereRecordSize(const IndexRecord& multi0) {
    if (multi0.Length == 0) {
        return std::nullopt;
    }
    return multi0.Length > 0 && multi0.Length % 16 == 0 ? RecordSize::Sixteen : RecordSize::Twelve;
}

std::optional<std::string> SphereMisreading(const IndexRecord& multi0, RecordSize size) {
    const std::optional<RecordSize> taken = SphereRecordSize(multi0);
    if (taken == size) {
        return std::nullopt;
    }
    const std::string file =
        "every multi of this " + std::to_string(BytesOf(size)) + "-byte Multi.mul is misread";
    if (!taken) {
        return "multi 0's Length is 0, from which Sphere's record size is not known: " + file;
    }
    if (multi0.Length < 0) {
        return "multi 0 is free, so Sphere reads Multi.mul in 12-byte records: " + file;
    }
    const std::int32_t bytes = static_cast<std::int32_t>(BytesOf(*taken));
    const std::int32_t records = multi0.Length / bytes;
    return "Sphere reads multi 0's " + NumberText(multi0.Length) + " bytes as " + NumberText(records) +
           (records == 1 ? " record of " : " records of ") + std::to_string(bytes) + ": " + file;
}

void RefuseSphereMisreading(const IndexRecord& multi0, RecordSize size) {
    const std::optional<std::string> misreading = SphereMisreading(multi0, size);
    if (!misreading) {
        return;
    }
    const std::string remedy = multi0.Length < 0
                                   ? "keep a multi at 0 (replace it instead of removing it)"
                                   : "give multi 0 one tile more or one less, or patch it at another number";
    throw Error(ErrorNumber::InvalidFileFormat, "the write would leave multi 0 as Sphere misreads it (" +
                                                    *misreading + "); nothing was written: " + remedy);
}

}  // namespace keelwright
