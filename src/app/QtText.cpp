#include "app/QtText.h"

#include <QFile>
#include <QFileInfo>

#include "model/Error.h"

namespace keelwright {

std::filesystem::path ToPath(const QString& text) {
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    const std::string& bytes = path.native();
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
#endif
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

QString FirstNonLatin1(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (c > 0xFF) {
            const QString code = QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0');
            return "U+" + code + " '" + QString::fromUcs4(&c, 1) + "'";
        }
    }
    return {};
}

QString ShortDescription(const Error& error) {
    QString text;
    if (!error.file().empty()) {
        text = QFileInfo(FromUtf8(error.file())).fileName();
        if (error.line() > 0) {
            text += ":" + QString::number(error.line());
        }
        text += ": ";
    }
    return text + FromUtf8(error.reason());
}

}  // namespace keelwright
