#include "model/NumberText.h"
#include "scripts/ItemScripts.h"
#include "scripts/ScriptParts.h"
#include "scripts/ScriptText.h"

namespace keelwright {

// Sphere 0.56d and the X line take a multi only from a MULTIDEF section, numbered by the multi's Multi.idx
// record (slot - 1); the layout follows the X script pack's own house definitions.
std::string CreateScriptX(const ScriptDetails& details, const ComponentTable& table) {
    const std::string& name = details.multiName;
    CheckScriptValue(name, "the multi name");
    CheckPrice(details.buyValue, "the buy value");
    const std::int32_t multiNumber = SphereMultiNumber(details.patchSlot);
    const std::string defName = DefinitionName(name);

    ScriptText text(ExpectedScriptBytes(details, table));
    text.line({"// ", name, ": multi ", NumberText(multiNumber), " (Multi.idx slot ",
               NumberText(details.patchSlot), ")"});
    text.line({"[MULTIDEF 0", Hex32(multiNumber), "]"});
    text.line({"DEFNAME=m_", defName});
    text.line({"NAME=", name});
    text.line({"TYPE=t_multi"});
    text.line({"VALUE=", details.buyValue});
    text.line({"CATEGORY=Multis"});
    text.line({"SUBSECTION=Custom Structures"});
    text.line({"DESCRIPTION=", name});
    text.line({"MULTIREGION=", NumberText(table.MinX), ",", NumberText(table.MinY), ",",
               NumberText(table.MaxX), ",", NumberText(table.MaxY)});
    ForEachScriptComponent(
        details, table, [&](std::string_view id, std::string_view x, std::string_view y, std::string_view z) {
            text.line({"COMPONENT=0", id, ",", x, ",", y, ",", z});
        });
    text.line({});
    text.line({"[ITEMDEF i_deed_", defName, "]"});
    text.line({"ID=i_deed"});
    text.line({"NAME=Deed to a ", name});
    text.line({"VALUE=", details.buyValue});
    text.line({"CATEGORY=Provisions - Deeds"});
    text.line({"SUBSECTION=House Deeds"});
    text.line({"DESCRIPTION=", name});
    text.line({"ON=@Create"});
    text.line({"MORE=m_", defName});
    return std::move(text).take();
}

}  // namespace keelwright
