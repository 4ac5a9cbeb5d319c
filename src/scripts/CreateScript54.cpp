#include "model/NumberText.h"
#include "scripts/ItemScripts.h"
#include "scripts/ScriptParts.h"
#include "scripts/ScriptText.h"

namespace keelwright {

std::string CreateScript54(const ScriptDetails& details, const ComponentTable& table) {
    const std::string& name = details.multiName;
    CheckScriptValue(name, "the multi name");
    CheckPrice(details.buyValue, "the buy value");
    const std::string itemNumber = ItemNumberText(details.patchSlot);
    const std::string defName = DefinitionName(name);

    ScriptText text(ExpectedScriptBytes(details, table));
    text.line({kRuleLine});
    text.line({kChangeIdLine});
    text.line({kPasteLine});
    text.line({});
    text.line({"[ITEMDEF 0", itemNumber, "]"});
    text.line({"DEFNAME=i_", defName});
    text.line({"NAME=", name});
    text.line({"TYPE=T_MULTI"});
    text.line({"VALUE=", details.buyValue});
    text.line({"MULTIREGION=", NumberText(table.MinX), ",", NumberText(table.MinY), ",",
               NumberText(table.MaxX), ",", NumberText(table.MaxY)});
    ForEachScriptComponent(
        details, table, [&](std::string_view id, std::string_view x, std::string_view y, std::string_view z) {
            text.line({"COMPONENT=0", id, ",", x, ",", y, ",", z, ",0"});
        });
    text.line({"CATEGORY=MULTIS"});
    text.line({"SUBSECTION=Custom Structures"});
    text.line({"DESCRIPTION=", name});
    text.line({});
    text.line({kDeedCommentLine});
    text.line({kDeedPasteLine});
    text.line({});
    text.line({"[ITEMDEF i_deed_", defName, "]"});
    text.line({"DEFNAME=i_deed_", defName});
    text.line({"NAME=Deed to a ", name});
    text.line({"ID=i_Deed"});
    text.line({"RESOURCES=i_deed, i_", defName});
    text.line({});
    text.line({"ON=@Create"});
    text.line({"MORE=i_", defName});
    text.line({});
    text.line({"CATEGORY=Provisons - Deeds"});
    text.line({"SUBSECTION=Custom Deeds"});
    text.line({"DESCRIPTION=Deed to ", name});
    return std::move(text).take();
}

}  // namespace keelwright
