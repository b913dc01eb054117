#include "platform/TextFile.h"

#include "platform/CodePage.h"

#include <QSaveFile>

namespace textfile
{

PathCheck checkCp1251Path(const QString& path, int bufferBytes)
{
    bool ok = false;
    const QByteArray bytes = cp1251::fromUnicode(path, &ok);
    if (!ok || bytes.contains('\0'))
        return PathCheck::OutsideCodePage;
    return bytes.size() + 1 > bufferBytes ? PathCheck::TooLong : PathCheck::Ok;
}

QByteArray encodeLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    bool ok = false;
    const QByteArray bytes = cp1251::fromUnicode(text, &ok);
    if (ok)
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    // Unbuffered, so that a write cut short (disk full, file size limit) shows in write()'s
    // count: a buffered file would commit the cut file as complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
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

bool writeLines(const QString& path, const QStringList& lines, QString* error)
{
    return writeBytes(path, encodeLines(lines), error);
}

} // namespace textfile
