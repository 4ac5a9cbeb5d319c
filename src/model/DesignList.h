#pragma once

// The designs or templates of a script file, for a user who must choose one of them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Error.h"
#include "model/ScriptReaders.h"

namespace keelwright {

// One design of a UO Architect file (key: its position from 1), one template of a multi text (key: its
// template id) or the one multi of any other script (key "1").
struct DesignSummary {
    std::string key;
    std::string name;  // UO Architect only: the three strings as stored (UTF-8), empty when absent
    std::string category;
    std::string subsection;
    std::string tiles;  // the tile count as the file gives it (a template's count line may be no number)
};

struct DesignList {
    enum class Kind { Designs, Templates, Single };
    Kind kind = Kind::Single;
    std::vector<DesignSummary> entries;
};

struct UoaDesign;
struct MultiTxtTemplate;

// The list of a UO Architect file's designs, or of a multi text's templates.
DesignList DesignListOf(const std::vector<UoaDesign>& designs);
DesignList DesignListOf(const std::vector<MultiTxtTemplate>& templates);

// The index of the UO Architect design a choice names: by its name when one design alone has it, else by
// its position from 1; the only design when none is chosen. Throws SeveralDesignsError when the file holds
// several and none is chosen, and InvalidCall for a template id or a choice that names none.
std::size_t ChooseUoaDesign(const std::vector<UoaDesign>& designs, const DesignChoice& choice,
                            const std::string& fileName);

// A load that needs a choice the caller did not make: the file holds several designs or templates. The
// reason lists them; designs() gives them to a caller that asks the user.
class SeveralDesignsError : public Error {
public:
    SeveralDesignsError(const DesignList& designs, const std::string& fileName);

    const DesignList& designs() const { return designs_; }

private:
    DesignList designs_;
};

// "1 \"Tower\" (120 tiles), 2 (4 tiles)" for designs; "id 1 (26 tiles), id 7 (3 tiles)" for templates.
std::string DescribeDesigns(const DesignList& designs);

// The designs or templates the file holds, as a load would find them; a script of a type that holds one
// multi is loaded (without a components list) to count its tiles. Throws Error as the readers do.
DesignList ListDesigns(std::string_view bytes, const std::string& fileName, ScriptType type);
// By path, a design library too (Designs.idx, with Designs.bin beside it).
DesignList ListDesigns(const std::filesystem::path& script, std::optional<ScriptType> type);

// A name from a file as output shows it: UTF-8 kept, but control characters (C0, DEL and C1) and bytes
// that are not UTF-8 as \xNN, so that no name can reach a terminal as an escape sequence.
std::string ShownName(std::string_view bytes);

}  // namespace keelwright
