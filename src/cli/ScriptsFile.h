#pragma once

#include <QSaveFile>
#include <QString>
#include <string_view>

namespace keelwright::cli {

// A scripts output file that is opened before the work and replaced only when the text is committed. Opening
// creates the new file beside the target, so a folder that is missing or cannot be written is found before
// anything else changes; a file that is never committed leaves an earlier file of that name as it was.
class ScriptsFile {
public:
    // Throws Error (path/file access) when the new file cannot be created.
    explicit ScriptsFile(const QString& path);

    // Writes the whole text and puts it in place of the target. Throws Error (device I/O) on failure.
    void commit(std::string_view text);

private:
    QString path_;
    QSaveFile file_;
};

}  // namespace keelwright::cli
