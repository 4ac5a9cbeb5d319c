#include "model/NumberText.h"
#include "scripts/ItemScripts.h"
#include "scripts/ScriptParts.h"
#include "scripts/ScriptText.h"

namespace keelwright {

std::string CreateScript51a(const ScriptDetails& details, const ComponentTable& table) {
    const std::string& name = details.multiName;
    CheckScriptValue(name, "the multi name");
    CheckPrice(details.buyValue, "the buy value");
    CheckPrice(details.sellValue, "the sell value");
    const std::string itemNumber = ItemNumberText(details.patchSlot);

    ScriptText text(ExpectedScriptBytes(details, table));
    text.line({kRuleLine});
    text.line({kChangeIdLine});
    text.line({kPasteLine});
    text.line({});
    text.line({"[", itemNumber, "]"});
    text.line({"NAME=", name});
    text.line({"TYPE=47"});
    text.line({"CATEGORY=MULTIS"});
    text.line({"SUBSECTION=Custom Structures"});
    text.line({"DESCRIPTION=", name});
    text.line({"MULTIREGION=", NumberText(table.MinX), ", ", NumberText(table.MinY), ", ",
               NumberText(table.MaxX), ", ", NumberText(table.MaxY)});
    ForEachScriptComponent(
        details, table, [&](std::string_view id, std::string_view x, std::string_view y, std::string_view z) {
            text.line({"COMPONENT=0", id, ", ", x, ", ", y, ", ", z});
        });
    text.line({});
    text.line({});
    text.line({kDeedCommentLine});
    text.line({kDeedPasteLine});
    text.line({"[####]"});
    text.line({"NAME=Deed to a ", name});
    text.line({"MORE=", itemNumber});
    text.line({"ID=Vendor_Deed"});
    text.line({"BUYVALUE=", details.buyValue});
    text.line({"SELLVALUE=", details.sellValue});
    text.line({"CATEGORY=Multis"});
    text.line({"SUBSECTION=Custom Deeds"});
    text.line({"DESCRIPTION=Deed to ", name});
    return std::move(text).take();
}

}  // namespace keelwright
