#include "instrument/ProfileFileWriter.h"

#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "platform/CodePage.h"

#include <QSaveFile>

namespace profilefile
{

PathCheck cp1251Path(const QString& path, QByteArray* out)
{
    if (out)
        out->clear();
    bool ok = false;
    const QByteArray bytes = cp1251::fromUnicode(path, &ok);
    if (!ok || bytes.contains('\0'))
        return PathCheck::OutsideCodePage;
    if (bytes.size() > MaxPathBytes)
        return PathCheck::TooLong;
    if (out)
        *out = bytes;
    return PathCheck::Ok;
}

QString pathProblemText(PathCheck check, bool russian)
{
    switch (check) {
    case PathCheck::Ok:
        break;
    case PathCheck::TooLong:
        return russian ? QStringLiteral("Путь к файлу длиннее 199 байт. Выберите более короткий путь.")
                       : QStringLiteral("The file path is longer than 199 bytes. Choose a shorter path.");
    case PathCheck::OutsideCodePage:
        return russian ? QStringLiteral("Путь к файлу содержит символы вне кодовой страницы 1251. "
                                        "Выберите другое имя.")
                       : QStringLiteral("The file path holds characters outside code page 1251. "
                                        "Choose another name.");
    }
    return QString();
}

bool acceptPath(const QString& path, QByteArray* out, bool russian)
{
    const PathCheck check = cp1251Path(path, out);
    if (check == PathCheck::Ok)
        return true;
    ShowMessageBox(russian ? QStringLiteral("Ошибка") : QStringLiteral("Error"),
                   pathProblemText(check, russian), DialogType::Error, mbOK);
    return false;
}

bool chooseOpenPath(bool russian, QString* path, QByteArray* path8)
{
    *path = ExecuteFileDialog(textFileOpenRequest());
    return !path->isEmpty() && acceptPath(*path, path8, russian);
}

bool writeProfileFile(const QString& path, const QString& header, const QStringList& values, QString* error)
{
    QByteArray content;
    bool ok = false;
    content += cp1251::fromUnicode(header, &ok);
    if (!ok) {
        if (error)
            *error = QStringLiteral("header outside code page 1251");
        return false;
    }
    content += "\r\n";
    for (const QString& v : values) {
        content += cp1251::fromUnicode(v.left(MaxValueChars), &ok);
        if (!ok) {
            if (error)
                *error = QStringLiteral("value outside code page 1251");
            return false;
        }
        content += "\r\n";
    }

    // The data goes to a temporary file beside the target, which replaces the target only
    // once everything is written. Unbuffered, so that a short write (a full disk, a file size
    // limit) shows in the count written instead of being lost in a later flush.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(content) != content.size()) {
        if (error)
            *error = QStringLiteral("the file could not be written in full");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace profilefile
