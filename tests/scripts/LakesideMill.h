#pragma once

// The Lakeside Mill: three components in slot 1234, the third one listed, and its scripts as the server
// admin is shown them. The core tests and the keelwright-cli tests compare against the same texts.

#include <string>
#include <vector>

#include "TestFiles.h"

namespace keelwright::test {

inline constexpr const char* kLakesideMillName = "Lakeside Mill";
inline constexpr const char* kLakesideMillBuy = "25000";
inline constexpr const char* kLakesideMillSell = "12500";
inline constexpr int kLakesideMillSlot = 1234;

// The component lines of the old format: the listed one alone, or every component with Scripts Only.
inline std::vector<std::string> LakesideMillComponents51a(bool scriptsOnly) {
    if (scriptsOnly) {
        return {"COMPONENT=04B0, -1, -1, 0", "COMPONENT=04B0, 1, 1, 0", "COMPONENT=0514, 0, 1, 7"};
    }
    return {"COMPONENT=0514, 0, 1, 7"};
}

inline std::vector<std::string> LakesideMillComponents54(bool scriptsOnly) {
    if (scriptsOnly) {
        return {"COMPONENT=04B0,-1,-1,0,0", "COMPONENT=04B0,1,1,0,0", "COMPONENT=0514,0,1,7,0"};
    }
    return {"COMPONENT=0514,0,1,7,0"};
}

// The component lines of the "Ver. X" format: four values, no flags.
inline std::vector<std::string> LakesideMillComponentsX(bool scriptsOnly) {
    if (scriptsOnly) {
        return {"COMPONENT=04B0,-1,-1,0", "COMPONENT=04B0,1,1,0", "COMPONENT=0514,0,1,7"};
    }
    return {"COMPONENT=0514,0,1,7"};
}

inline std::string LakesideMill51a(bool scriptsOnly) {
    std::vector<std::string> lines = {
        "/////////////////////////////////////////////////////////",
        "// Multi Script - Change #### to available Item ID # ",
        "in your sphereitems2.scp. Copy and paste script to your sphereitems2.scp.",
        "",
        "[44D1]",
        "NAME=Lakeside Mill",
        "TYPE=47",
        "CATEGORY=MULTIS",
        "SUBSECTION=Custom Structures",
        "DESCRIPTION=Lakeside Mill",
        "MULTIREGION=-1, -1, 1, 1",
    };
    for (const std::string& component : LakesideMillComponents51a(scriptsOnly)) {
        lines.push_back(component);
    }
    lines.insert(lines.end(), {
                                  "",
                                  "",
                                  "// This is the script for the deed. Change [####] to next ID #",
                                  "// in your sphereitems2.scp.",
                                  "[####]",
                                  "NAME=Deed to a Lakeside Mill",
                                  "MORE=44D1",
                                  "ID=Vendor_Deed",
                                  "BUYVALUE=25000",
                                  "SELLVALUE=12500",
                                  "CATEGORY=Multis",
                                  "SUBSECTION=Custom Deeds",
                                  "DESCRIPTION=Deed to Lakeside Mill",
                              });
    return CrLfLines(lines);
}

inline std::string LakesideMill54(bool scriptsOnly) {
    std::vector<std::string> lines = {
        "/////////////////////////////////////////////////////////",
        "// Multi Script - Change #### to available Item ID # ",
        "in your sphereitems2.scp. Copy and paste script to your sphereitems2.scp.",
        "",
        "[ITEMDEF 044D1]",
        "DEFNAME=i_Lakeside_Mill",
        "NAME=Lakeside Mill",
        "TYPE=T_MULTI",
        "VALUE=25000",
        "MULTIREGION=-1,-1,1,1",
    };
    for (const std::string& component : LakesideMillComponents54(scriptsOnly)) {
        lines.push_back(component);
    }
    lines.insert(lines.end(), {
                                  "CATEGORY=MULTIS",
                                  "SUBSECTION=Custom Structures",
                                  "DESCRIPTION=Lakeside Mill",
                                  "",
                                  "// This is the script for the deed. Change [####] to next ID #",
                                  "// in your sphereitems2.scp.",
                                  "",
                                  "[ITEMDEF i_deed_Lakeside_Mill]",
                                  "DEFNAME=i_deed_Lakeside_Mill",
                                  "NAME=Deed to a Lakeside Mill",
                                  "ID=i_Deed",
                                  "RESOURCES=i_deed, i_Lakeside_Mill",
                                  "",
                                  "ON=@Create",
                                  "MORE=i_Lakeside_Mill",
                                  "",
                                  "CATEGORY=Provisons - Deeds",
                                  "SUBSECTION=Custom Deeds",
                                  "DESCRIPTION=Deed to Lakeside Mill",
                              });
    return CrLfLines(lines);
}

// Slot 1234 holds multi 1233, 4D1 in hex.
inline std::string LakesideMillX(bool scriptsOnly) {
    std::vector<std::string> lines = {
        "// Lakeside Mill: multi 1233 (Multi.idx slot 1234)",
        "[MULTIDEF 04D1]",
        "DEFNAME=m_Lakeside_Mill",
        "NAME=Lakeside Mill",
        "TYPE=t_multi",
        "VALUE=25000",
        "CATEGORY=Multis",
        "SUBSECTION=Custom Structures",
        "DESCRIPTION=Lakeside Mill",
        "MULTIREGION=-1,-1,1,1",
    };
    for (const std::string& component : LakesideMillComponentsX(scriptsOnly)) {
        lines.push_back(component);
    }
    lines.insert(lines.end(), {
                                  "",
                                  "[ITEMDEF i_deed_Lakeside_Mill]",
                                  "ID=i_deed",
                                  "NAME=Deed to a Lakeside Mill",
                                  "VALUE=25000",
                                  "CATEGORY=Provisions - Deeds",
                                  "SUBSECTION=House Deeds",
                                  "DESCRIPTION=Lakeside Mill",
                                  "ON=@Create",
                                  "MORE=m_Lakeside_Mill",
                              });
    return CrLfLines(lines);
}

}  // namespace keelwright::test
