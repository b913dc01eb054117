#include "instrument/ProfileFileWriter.h"

#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "instrument/TextFileSave.h"
#include "platform/CodePage.h"

namespace profilefile
{

PathCheck cp1251Path(const QString& path, QByteArray* out)
{
    if (out)
        out->clear();
    const PathCheck check = textfile::checkCp1251Path(path, MaxPathBytes + 1);
    if (check == PathCheck::Ok && out)
        *out = cp1251::fromUnicode(path);
    return check;
}

QString pathProblemText(PathCheck check, bool russian)
{
    return textsave::pathProblemText(check, MaxPathBytes, russian);
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

    return textfile::writeBytes(path, content, error);
}

} // namespace profilefile
