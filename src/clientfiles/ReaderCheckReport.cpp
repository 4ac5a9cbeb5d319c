#include "clientfiles/ReaderCheckReport.h"

#include "model/NumberText.h"

namespace keelwright {
namespace {

std::string counted(std::size_t n, const std::string& one, const std::string& many) {
    return NumberText(static_cast<std::int64_t>(n)) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ReaderVerdict(const ReaderView& view) {
    std::string verdict = std::string(ReaderName(view.reader)) + ": ";
    if (!view.checked) {
        return verdict + "not checked (reads " + view.reads + ")";
    }
    if (view.clean()) {
        return verdict + "sees the files as they are";
    }
    return verdict + counted(view.findings.size(), "finding", "findings") +
           ": it sees the files otherwise than they are";
}

std::string ReaderDetails(const ReaderView& view) {
    std::string text = "Reads " + view.reads;
    if (view.checked) {
        text += "; sees " + view.numbers;
    }
    text += ".\n";
    for (const ReaderFinding& finding : view.findings) {
        text += finding.reason + "\n";
    }
    return text;
}

std::string ReaderCheckSummary(const ReaderCheck& check) {
    std::string readers;
    for (const ReaderView& view : check.readers) {
        if (!view.clean()) {
            readers += (readers.empty() ? "" : ", ") + std::string(ReaderName(view.reader));
        }
    }
    std::string summary = readers.empty() ? "" : "seen otherwise by " + readers;
    if (!check.disagreements.empty()) {
        summary += (summary.empty() ? "" : "; ") +
                   std::string("Multi.mul and MultiCollection.uop disagree at ") +
                   counted(check.disagreements.size(), "number", "numbers");
    }
    if (summary.empty()) {
        return "every reader checked sees the files as they are";
    }
    summary[0] = static_cast<char>(summary[0] - 'a' + 'A');
    return summary;
}

std::string ReaderCheckText(const ReaderCheck& check) {
    std::string text;
    for (const ReaderView& view : check.readers) {
        text += ReaderVerdict(view) + "\n";
        std::string details = ReaderDetails(view);
        for (std::size_t at = 0; at < details.size();) {
            const std::size_t end = details.find('\n', at);
            text += "  " + details.substr(at, end - at + 1);
            at = end + 1;
        }
        text += "\n";
    }
    if (check.files.mul && check.files.uop) {
        text += check.disagreements.empty()
                    ? std::string("Multi.mul and MultiCollection.uop hold the same multis.\n")
                    : "Multi.mul and MultiCollection.uop disagree at " +
                          counted(check.disagreements.size(), "number", "numbers") + ":\n";
        for (const FileDisagreement& disagreement : check.disagreements) {
            text += "  " + disagreement.reason + "\n";
        }
        text += "\n";
    }
    text += check.clean() ? "Every reader checked sees the files as they are.\n"
                          : ReaderCheckSummary(check) + ".\n";
    return text;
}

}  // namespace keelwright
