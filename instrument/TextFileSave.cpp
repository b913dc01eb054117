#include "instrument/TextFileSave.h"

#include "instrument/Mydialogs.h"
#include "platform/TextFile.h"

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

bool saveTextFile(const QString& path, const QStringList& lines, bool russian)
{
    auto text = [russian](const char* ru, const char* en) { return QString::fromUtf8(russian ? ru : en); };
    const textfile::PathCheck check = textfile::checkCp1251Path(path, PathBufferBytes);
    QString problem;
    if (check == textfile::PathCheck::TooLong)
        problem = text("Путь к файлу длиннее 99 байт. Выберите более короткий путь.",
                       "The file path is longer than 99 bytes. Choose a shorter path.");
    else if (check == textfile::PathCheck::OutsideCodePage)
        problem = text("Путь к файлу содержит символы вне кодовой страницы 1251. Выберите другое имя.",
                       "The file path holds characters outside code page 1251. Choose another name.");
    QString error;
    if (problem.isEmpty() && !textfile::writeLines(path, lines, &error))
        problem = text("Не удалось записать файл:\n", "The file could not be written:\n") + path +
                  QLatin1Char('\n') + error;
    if (problem.isEmpty())
        return true;
    ShowMessageBox(text("Ошибка", "Error"), problem, DialogType::Error, mbOK);
    return false;
}

} // namespace textsave
