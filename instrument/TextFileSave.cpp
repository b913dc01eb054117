#include "instrument/TextFileSave.h"

#include "instrument/Mydialogs.h"

namespace textsave
{

QString valueListHeader(const QString& deviceName, bool celsius, int rtdType, int rt0)
{
    QStringList fields = {deviceName, QStringLiteral("w")};
    if (celsius)
        fields << QStringLiteral("c") << QString::number(rtdType) << QString::number(rt0);
    else
        fields << QStringLiteral("o");
    return fields.join(QLatin1Char(';'));
}

QString pathProblemText(textfile::PathCheck check, int maxBytes, bool russian)
{
    switch (check) {
    case textfile::PathCheck::Ok:
        break;
    case textfile::PathCheck::TooLong:
        return russian ? QStringLiteral("Путь к файлу длиннее %1 байт. Выберите более короткий путь.")
                             .arg(maxBytes)
                       : QStringLiteral("The file path is longer than %1 bytes. Choose a shorter path.")
                             .arg(maxBytes);
    case textfile::PathCheck::OutsideCodePage:
        return russian ? QStringLiteral("Путь к файлу содержит символы вне кодовой страницы 1251. "
                                        "Выберите другое имя.")
                       : QStringLiteral("The file path holds characters outside code page 1251. "
                                        "Choose another name.");
    }
    return QString();
}

bool saveTextFile(const QString& path, const QStringList& lines, bool russian)
{
    return saveTextBytes(path, textfile::encodeLines(lines), russian);
}

bool saveTextBytes(const QString& path, const QByteArray& bytes, bool russian)
{
    auto text = [russian](const char* ru, const char* en) { return QString::fromUtf8(russian ? ru : en); };
    QString problem =
        pathProblemText(textfile::checkCp1251Path(path, PathBufferBytes), PathBufferBytes - 1, russian);
    QString error;
    if (problem.isEmpty() && !textfile::writeBytes(path, bytes, &error))
        problem = text("Не удалось записать файл:\n", "The file could not be written:\n") + path +
                  QLatin1Char('\n') + error;
    if (problem.isEmpty())
        return true;
    ShowMessageBox(text("Ошибка", "Error"), problem, DialogType::Error, mbOK);
    return false;
}

} // namespace textsave
