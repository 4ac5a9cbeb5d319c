#include "clientfiles/ReaderWarnings.h"

#include <algorithm>
#include <system_error>

#include "model/NumberText.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"

namespace keelwright {

namespace {

// Decimal digits in groups of three: "81,508".
std::string grouped(std::int64_t value) {
    std::string digits = NumberText(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > (value < 0 ? 1 : 0); at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

}  // namespace

std::string ServUoMaskText(std::int32_t multi) {
    return "ServUO reads Multi.mul's " + MultiText(multi) + " as " + MultiText(multi & kServUoMulMask) +
           " (it keeps the number's lowest 14 bits)";
}

std::string ModernUoPayloadText(std::int32_t multi, std::int64_t bytes) {
    return "ModernUO stops at start: " + MultiText(multi) + "'s payload is " + grouped(bytes) +
           " bytes, over " + grouped(kModernUoEntryBytes);
}

std::vector<std::string> ReaderWarnings(const PlannedWrite& write) {
    std::vector<std::string> warnings;
    const std::string multi = MultiText(write.multi);
    if (write.intoMul && write.multi >= kSphereMultiEnd) {
        warnings.push_back("Sphere sees multis 0 to 0x1FFF only: it will not see " + multi);
    }
    if (write.intoMul && write.multi > kServUoMulMask) {
        warnings.push_back(ServUoMaskText(write.multi));
    }
    if (write.intoUop && write.uopPayloadBytes > kModernUoEntryBytes) {
        warnings.push_back(ModernUoPayloadText(write.multi, write.uopPayloadBytes));
    }
    if (write.intoMul && !write.intoUop && write.uopBesideMul) {
        warnings.push_back(
            "a MultiCollection.uop lies beside Multi.mul: clients from 7.0 on and ServUO read it "
            "instead and will not see " +
            multi + "; patch it there too");
    }
    return warnings;
}

std::vector<std::string> ReaderWarnings(const PatchTargets& targets, std::int32_t multi,
                                        std::int64_t uopPayloadBytes) {
    PlannedWrite write;
    write.multi = multi;
    write.intoMul = targets.mul.has_value();
    write.intoUop = targets.uop.has_value();
    write.uopPayloadBytes = uopPayloadBytes;
    write.uopBesideMul = targets.mul && !targets.uop && UopLiesBeside(targets.mul->multiMul);
    return ReaderWarnings(write);
}

bool UopLiesBeside(const std::filesystem::path& multiMul) {
    // The names are compared in ASCII lower case, as a file system that ignores case would compare them.
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        return text;
    };
    std::error_code error;
    const std::filesystem::path folder = multiMul.has_parent_path() ? multiMul.parent_path() : ".";
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::u8string name = it->path().filename().u8string();
        if (lower(std::string(name.begin(), name.end())) == "multicollection.uop") {
            return true;
        }
    }
    return false;
}

}  // namespace keelwright
