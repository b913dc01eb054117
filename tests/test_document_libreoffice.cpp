// LibreOffice Writer reads what the document layer writes: the template, a filled protocol
// and a new document with the history table, converted to text by one headless soffice run.
#include "platform/WordDocument.h"
#include "tests/LibreOfficeText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QString padded(const QString& s)
{
    return s + QString(s.size(), u' ');
}

TEST(LibreOffice, ReadsTheTemplateAFilledProtocolAndANewTable)
{
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

    QString failure;
    const QStringList texts =
        testsupport::libreOfficeTexts({templateCopy, protocol, history}, dir.path(), &failure);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    const QString& templateText = texts[0];
    for (const char* text : {"Протокол поверки", "R₀₄ₓ =", "Таблица 8. Декада 7 (старшая)",
                             "Пределы допускаемого отклонения, ± %", "9 × R₁"})
        EXPECT_TRUE(templateText.contains(QString::fromUtf8(text))) << text;

    const QString& protocolText = texts[1];
    for (const char* text :
         {"R₀₄ₓ = 0,0100", "R₀₂ₓ = 0,0250", "1000,0400", "0,00400", "0,0202", "Таблица 5. Декада 4"})
        EXPECT_TRUE(protocolText.contains(QString::fromUtf8(text))) << text;

    const QString& historyText = texts[2];
    for (const char* text : {"История ввода", "R, Ом:", "δR, %", "Δн-12"})
        EXPECT_TRUE(historyText.contains(QString::fromUtf8(text))) << text;
}

} // namespace
