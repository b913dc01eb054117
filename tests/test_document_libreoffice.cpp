// LibreOffice Writer reads what the document layer writes: the template, a filled protocol
// and a new document with the history table, converted to text by one headless soffice run.
#include "platform/WordDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

QString padded(const QString& s)
{
    return s + QString(s.size(), u' ');
}

QString convertedText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

TEST(LibreOffice, ReadsTheTemplateAFilledProtocolAndANewTable)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    ASSERT_FALSE(soffice.isEmpty())
        << "soffice is missing: scripts/setup.sh installs libreoffice-writer-nogui";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString templ =
        QCoreApplication::applicationDirPath() + QStringLiteral("/Дополнительные файлы/Поверка.docx");
    const QString templateCopy = dir.filePath(QStringLiteral("template.docx"));
    const QString protocol = dir.filePath(QStringLiteral("protocol.docx"));
    const QString history = dir.filePath(QStringLiteral("history.docx"));
    ASSERT_TRUE(QFile::copy(templ, templateCopy));
    ASSERT_TRUE(QFile::copy(templ, protocol));

    {
        WordDocument doc = WordDocument::open(protocol);
        doc.setCellText(1, 1, 1, padded(QStringLiteral("R₀₄ₓ = 0,0100")));
        doc.setCellText(1, 1, 2, padded(QStringLiteral("R₀₂ₓ = 0,0250")));
        doc.setCellText(5, 2, 1, padded(QStringLiteral("1000")));
        doc.setCellText(5, 2, 3, padded(QStringLiteral("1000,0400")));
        doc.setCellText(5, 2, 4, padded(QStringLiteral("0,00400")));
        doc.setCellText(5, 2, 5, padded(QStringLiteral("0,0202")));
        doc.save();
    }
    {
        WordDocument doc = WordDocument::create();
        doc.addTableAfterCentredParagraph(QStringLiteral("История ввода"), 2, 12);
        doc.setCellText(1, 1, 1, padded(QStringLiteral("R, Ом:")));
        doc.setCellText(1, 1, 6, padded(QStringLiteral("δR, %")));
        doc.setCellText(1, 2, 12, padded(QStringLiteral("Δн-12")));
        doc.save(history);
    }

    const QString out = dir.filePath(QStringLiteral("out"));
    QProcess process;
    process.setProgram(soffice);
    process.setArguments({QStringLiteral("-env:UserInstallation=") +
                              QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString(),
                          QStringLiteral("--headless"), QStringLiteral("--norestore"),
                          QStringLiteral("--convert-to"), QStringLiteral("txt:Text"),
                          QStringLiteral("--outdir"), out, templateCopy, protocol, history});
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        FAIL() << "soffice took longer than 120 s";
    }
    const QString log = QString::fromLocal8Bit(process.readAll());
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit) << log.toStdString();

    const QString templateText = convertedText(out + QStringLiteral("/template.txt"));
    ASSERT_FALSE(templateText.isEmpty()) << log.toStdString();
    for (const char* text : {"Протокол поверки", "R₀₄ₓ =", "Таблица 8. Декада 7 (старшая)",
                             "Пределы допускаемого отклонения, ± %", "9 × R₁"})
        EXPECT_TRUE(templateText.contains(QString::fromUtf8(text))) << text;

    const QString protocolText = convertedText(out + QStringLiteral("/protocol.txt"));
    ASSERT_FALSE(protocolText.isEmpty()) << log.toStdString();
    for (const char* text :
         {"R₀₄ₓ = 0,0100", "R₀₂ₓ = 0,0250", "1000,0400", "0,00400", "0,0202", "Таблица 5. Декада 4"})
        EXPECT_TRUE(protocolText.contains(QString::fromUtf8(text))) << text;

    const QString historyText = convertedText(out + QStringLiteral("/history.txt"));
    ASSERT_FALSE(historyText.isEmpty()) << log.toStdString();
    for (const char* text : {"История ввода", "R, Ом:", "δR, %", "Δн-12"})
        EXPECT_TRUE(historyText.contains(QString::fromUtf8(text))) << text;
}

} // namespace
