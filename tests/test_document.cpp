// The Word document layer: tables and cells of real .docx files, the protocol template, the
// history table, failures that leave files as they were, and the show seam.
#include "platform/DocxPackage.h"
#include "platform/WordDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace
{

QString templatePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Дополнительные файлы/Поверка.docx");
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// word/document.xml of the file at path.
std::string documentXml(const QString& path)
{
    const docx::Package package = docx::unzip(readBytes(path).toStdString());
    const docx::Part* part = docx::findPart(package, "word/document.xml");
    return part ? part->data : std::string();
}

// A .docx whose body is bodyXml (w: prefix), with our styles and page.
QByteArray packageWithBody(const std::string& bodyXml)
{
    const std::string xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
        "<w:body>" +
        bodyXml + docx::sectionPropertiesXml() + "</w:body></w:document>";
    return QByteArray::fromStdString(docx::zip(docx::newPackage(xml, "test")));
}

std::string cellXml(const std::string& text, const std::string& tcPr = {})
{
    return "<w:tc>" + (tcPr.empty() ? std::string() : "<w:tcPr>" + tcPr + "</w:tcPr>") + "<w:p><w:r><w:t>" +
           text + "</w:t></w:r></w:p></w:tc>";
}

// Table 1: rows of 3, 2 (a cell spanning two columns), 3 (a vertical merge starts) and
// 2 cells (the merge goes on); cell (1,1) holds a nested table. Table 2 stands in a content
// control. Texts name their cells.
QByteArray mixedTablesDocx()
{
    const std::string nested = "<w:tbl><w:tr>" + cellXml("nested") + "</w:tr></w:tbl>";
    const std::string table1 = "<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/><w:gridCol/></w:tblGrid>"
                               "<w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p>" +
                               nested + "<w:p/></w:tc>" + cellXml("b") + cellXml("c") + "</w:tr>" + "<w:tr>" +
                               cellXml("wide", "<w:gridSpan w:val=\"2\"/>") + cellXml("d") + "</w:tr>" +
                               "<w:tr>" + cellXml("m", "<w:vMerge w:val=\"restart\"/>") + cellXml("e") +
                               cellXml("f") + "</w:tr>" + "<w:tr>" + cellXml("", "<w:vMerge/>") +
                               cellXml("g") + cellXml("h") + "</w:tr></w:tbl>";
    const std::string table2 = "<w:sdt><w:sdtContent><w:tbl><w:tr>" + cellXml("x") + cellXml("y") +
                               "</w:tr></w:tbl></w:sdtContent></w:sdt>";
    return packageWithBody("<w:p><w:r><w:t>before</w:t></w:r></w:p>" + table1 + "<w:p/>" + table2 + "<w:p/>");
}

class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const QString& name) const { return dir.filePath(name); }

    // A copy of the template to fill, as the protocols make it.
    QString templateCopy(const QString& name = QStringLiteral("Новый протокол.docx"))
    {
        const QString target = file(name);
        EXPECT_TRUE(QFile::copy(templatePath(), target));
        return target;
    }

    QTemporaryDir dir;
    DocumentShowSeam seam;
};

// Each failure is a DocumentError whose text names what went wrong.
template <typename F> std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const DocumentError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(DocumentTest, TemplateHasEveryCellTheProtocolsFill)
{
    ASSERT_TRUE(QFileInfo::exists(templatePath())) << templatePath().toStdString();
    const WordDocument doc = WordDocument::open(templatePath());
    ASSERT_EQ(doc.tableCount(), 8);
    EXPECT_GE(doc.cellCount(1, 1), 2);
    EXPECT_EQ(doc.cellText(1, 1, 1), QStringLiteral("R₀₄ₓ = "));
    EXPECT_EQ(doc.cellText(1, 1, 2), QStringLiteral("R₀₂ₓ = "));
    for (int t = 2; t <= 8; ++t) {
        ASSERT_EQ(doc.rowCount(t), 10) << "table " << t;
        for (int r = 1; r <= 10; ++r)
            EXPECT_EQ(doc.cellCount(t, r), 5) << "table " << t << " row " << r;
        EXPECT_EQ(doc.cellText(t, 1, 3), QStringLiteral("Действительное значение, Ом"));
        EXPECT_EQ(doc.cellText(t, 2, 1), QString());
        EXPECT_EQ(doc.cellText(t, 10, 1), QStringLiteral("9 × R₁"));
    }
}

// Fills the copy the way the primary protocol does, writes it and reads every cell back.
TEST_F(DocumentTest, FilledTemplateReadsBackExactlyAndKeepsTheRest)
{
    const QString target = templateCopy();
    const auto padded = [](const QString& s) { return s + QString(s.size(), u' '); };
    const auto valueText = [](int t, int r, int c) {
        return QStringLiteral("%1,%2%3").arg(t * 1000 + r).arg(c).arg(QStringLiteral("0"));
    };
    {
        WordDocument doc = WordDocument::open(target);
        doc.setCellText(1, 1, 1, padded(QStringLiteral("R₀₄ₓ = ")));
        doc.setCellText(1, 1, 2, padded(QStringLiteral("R₀₂ₓ = 0,0123")));
        for (int t = 2; t <= 8; ++t) {
            doc.setCellText(t, 2, 1, padded(QStringLiteral("1E-%1").arg(t)));
            for (int c = 3; c <= 5; ++c)
                for (int r = 2; r <= 10; ++r)
                    doc.setCellText(t, r, c, padded(valueText(t, r, c)));
        }
        doc.saveAndShow();
    }
    EXPECT_EQ(seam.shown(), QStringList{QFileInfo(target).absoluteFilePath()});

    const WordDocument back = WordDocument::open(target);
    ASSERT_EQ(back.tableCount(), 8);
    // "R₀₄ₓ = " followed by seven blanks: an empty R04.
    EXPECT_EQ(back.cellText(1, 1, 1), QStringLiteral("R₀₄ₓ = ") + QString(7, u' '));
    EXPECT_EQ(back.cellText(1, 1, 2), padded(QStringLiteral("R₀₂ₓ = 0,0123")));
    EXPECT_EQ(back.cellText(1, 2, 1), QStringLiteral("при четырёхпроводном подключении, Ом"));
    for (int t = 2; t <= 8; ++t) {
        EXPECT_EQ(back.cellText(t, 2, 1), padded(QStringLiteral("1E-%1").arg(t)));
        for (int c = 3; c <= 5; ++c)
            for (int r = 2; r <= 10; ++r)
                ASSERT_EQ(back.cellText(t, r, c), padded(valueText(t, r, c))) << t << ' ' << r << ' ' << c;
        EXPECT_EQ(back.cellText(t, 3, 1), QStringLiteral("2 × R₁"));
        EXPECT_EQ(back.cellText(t, 5, 2), QString());
        EXPECT_EQ(back.cellText(t, 1, 2), QStringLiteral("Отметки поверителя"));
    }
    const std::string xml = documentXml(target);
    EXPECT_NE(xml.find("Протокол поверки"), std::string::npos);
    EXPECT_NE(xml.find(R"(<w:t xml:space="preserve">R₀₄ₓ =        </w:t>)"), std::string::npos);
}

TEST_F(DocumentTest, CellTextKeepsTheCellsParagraphAndRunFormatting)
{
    const QString target = templateCopy();
    WordDocument doc = WordDocument::open(target);
    doc.setCellText(2, 2, 3, QStringLiteral("1000,0400"));
    doc.save();
    const std::string xml = documentXml(target);
    const std::size_t text = xml.find("1000,0400");
    ASSERT_NE(text, std::string::npos);
    const std::size_t cellStart = xml.rfind("<w:tc>", text);
    const std::string cell = xml.substr(cellStart, xml.find("</w:tc>", text) - cellStart);
    EXPECT_NE(cell.find(R"(<w:jc w:val="center"/>)"), std::string::npos) << cell;
    EXPECT_NE(cell.find(R"(<w:r><w:rPr><w:sz w:val="22"/>)"), std::string::npos) << cell;
    EXPECT_NE(cell.find(R"(<w:tcW w:w="1955" w:type="dxa"/>)"), std::string::npos) << cell;
}

struct CellCase {
    int table, row, column;
    const char* text;
};

class CellAddressing : public DocumentTest, public ::testing::WithParamInterface<CellCase>
{
};

TEST_P(CellAddressing, CountsCellsAsTheWordProcessorDoes)
{
    const QString path = file(QStringLiteral("mixed.docx"));
    writeBytes(path, mixedTablesDocx());
    WordDocument doc = WordDocument::open(path);
    const CellCase c = GetParam();
    EXPECT_EQ(doc.cellText(c.table, c.row, c.column), QString::fromUtf8(c.text));

    // Writing reaches the same cell and no other.
    doc.setCellText(c.table, c.row, c.column, QStringLiteral("новый текст "));
    doc.save();
    const WordDocument back = WordDocument::open(path);
    EXPECT_EQ(back.cellText(c.table, c.row, c.column), QStringLiteral("новый текст "));
    const CellCase watched[] = {{1, 2, 2, ""}, {1, 4, 1, ""}, {2, 1, 2, ""}};
    for (const CellCase& w : watched) {
        const bool same = w.table == c.table && w.row == c.row && w.column == c.column;
        EXPECT_EQ(back.cellText(w.table, w.row, w.column).startsWith(QStringLiteral("новый")), same)
            << w.table << ' ' << w.row << ' ' << w.column;
    }
}

INSTANTIATE_TEST_SUITE_P(MixedRows, CellAddressing,
                         ::testing::Values(CellCase{1, 1, 1, "a\rnested\r"}, CellCase{1, 1, 3, "c"},
                                           CellCase{1, 2, 1, "wide"}, CellCase{1, 2, 2, "d"},
                                           CellCase{1, 3, 1, "m"}, CellCase{1, 4, 1, "g"},
                                           CellCase{1, 4, 2, "h"}, CellCase{2, 1, 2, "y"}));

// Other producers may bind the WordprocessingML namespace to another prefix, or to none.
TEST_F(DocumentTest, ReadsAndWritesUnderTheDocumentsOwnPrefix)
{
    for (const std::string prefix : {"ns0:", ""}) {
        const std::string xmlns = prefix.empty() ? "xmlns" : "xmlns:" + prefix.substr(0, prefix.size() - 1);
        const auto el = [&](const std::string& name) { return prefix + name; };
        const std::string xml = "<?xml version=\"1.0\"?><" + el("document") + " " + xmlns + "=\"" +
                                docx::kWordNamespace + "\"><" + el("body") + "><" + el("tbl") + "><" +
                                el("tr") + "><" + el("tc") + "><" + el("p") + "/></" + el("tc") + "></" +
                                el("tr") + "></" + el("tbl") + "></" + el("body") + "></" + el("document") +
                                ">";
        const QString path = file(QStringLiteral("prefix.docx"));
        QFile::remove(path);
        writeBytes(path, QByteArray::fromStdString(docx::zip(docx::newPackage(xml, "prefix"))));
        WordDocument doc = WordDocument::open(path);
        ASSERT_EQ(doc.tableCount(), 1) << prefix;
        doc.setCellText(1, 1, 1, QStringLiteral("ячейка "));
        EXPECT_EQ(doc.addTableAfterCentredParagraph(QString(), 1, 2), 2);
        doc.save();
        const std::string written = documentXml(path);
        EXPECT_NE(written.find("<" + el("t") + " xml:space=\"preserve\">ячейка </" + el("t") + ">"),
                  std::string::npos)
            << written;
        EXPECT_EQ(written.find("w:"), std::string::npos) << written;
        EXPECT_EQ(WordDocument::open(path).cellText(1, 1, 1), QStringLiteral("ячейка "));
    }
}

TEST_F(DocumentTest, CountsTablesRowsAndCellsOfMixedRows)
{
    const QString path = file(QStringLiteral("mixed.docx"));
    writeBytes(path, mixedTablesDocx());
    const WordDocument doc = WordDocument::open(path);
    EXPECT_EQ(doc.tableCount(), 2); // the nested table belongs to its cell
    EXPECT_EQ(doc.rowCount(1), 4);
    EXPECT_EQ(doc.cellCount(1, 1), 3);
    EXPECT_EQ(doc.cellCount(1, 2), 2);
    EXPECT_EQ(doc.cellCount(1, 3), 3);
    EXPECT_EQ(doc.cellCount(1, 4), 2);
    EXPECT_EQ(doc.cellCount(2, 1), 2);
}

TEST_F(DocumentTest, MissingTablesRowsAndCellsAreNamedInTheError)
{
    const QString path = file(QStringLiteral("mixed.docx"));
    writeBytes(path, mixedTablesDocx());
    WordDocument doc = WordDocument::open(path);
    EXPECT_NE(errorOf([&] { doc.setCellText(3, 1, 1, "x"); }).find("has no table 3: it has 2 tables"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { doc.cellText(0, 1, 1); }).find("has no table 0"), std::string::npos);
    EXPECT_NE(errorOf([&] { doc.setCellText(1, 5, 1, "x"); }).find("has no row 5: it has 4 rows"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { doc.setCellText(1, 2, 3, "x"); }).find("no cell (2, 3): row 2 has 2 cells"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { doc.setCellText(1, 1, 0, "x"); }).find("no cell (1, 0)"), std::string::npos);
    EXPECT_NE(errorOf([&] { doc.rowCount(9); }).find("no table 9"), std::string::npos);
}

class CellTexts : public DocumentTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(CellTexts, RoundTripExactly)
{
    const QString target = templateCopy();
    const QString text = QString::fromUtf8(GetParam());
    {
        WordDocument doc = WordDocument::open(target);
        doc.setCellText(3, 4, 4, text);
        EXPECT_EQ(doc.cellText(3, 4, 4), text);
        doc.save();
    }
    EXPECT_EQ(WordDocument::open(target).cellText(3, 4, 4), text);
}

INSTANTIATE_TEST_SUITE_P(Texts, CellTexts,
                         ::testing::Values("", "       ", "  leading and trailing  ", "R₀₄ₓ = 0,0100        ",
                                           "Отклонение δR, % ± Ω °C", "-0,00123       ", "a & b < c > \"d\"",
                                           "первая\rвторая", "строка\nперенос", "колонка\tтаб",
                                           "\xF0\x9D\x91\xA5 outside the BMP"));

TEST_F(DocumentTest, RefusesCharactersADocumentCannotHold)
{
    const QString target = templateCopy();
    const QByteArray before = readBytes(target);
    WordDocument doc = WordDocument::open(target);
    EXPECT_NE(errorOf([&] {
                  doc.setCellText(2, 2, 3,
                                  QString::fromUtf8("a\x01"
                                                    "b"));
              }).find("U+0001"),
              std::string::npos);
    QString lone = QStringLiteral("x");
    lone.append(QChar(0xD800));
    EXPECT_NE(errorOf([&] { doc.setCellText(2, 2, 3, lone); }).find("U+D800"), std::string::npos);
    EXPECT_EQ(doc.cellText(2, 2, 3), QString());
    EXPECT_EQ(readBytes(target), before);
}

TEST_F(DocumentTest, NewDocumentGetsTableAfterCentredParagraphWithGridLines)
{
    const QString path = file(QStringLiteral("История ввода.docx"));
    {
        WordDocument doc = WordDocument::create();
        EXPECT_EQ(doc.tableCount(), 0);
        EXPECT_TRUE(doc.path().isEmpty());
        ASSERT_EQ(doc.addTableAfterCentredParagraph(QStringLiteral("История ввода"), 3, 12), 1);
        EXPECT_EQ(doc.rowCount(1), 3);
        for (int r = 1; r <= 3; ++r)
            EXPECT_EQ(doc.cellCount(1, r), 12);
        for (int c = 1; c <= 12; ++c)
            for (int r = 1; r <= 3; ++r)
                doc.setCellText(1, r, c, QStringLiteral("%1:%2").arg(r).arg(c) + QStringLiteral("    "));
        doc.setCellText(1, 1, 1, QStringLiteral("R, Ом:      "));
        doc.save(path);
        EXPECT_EQ(doc.path(), path);
    }
    const WordDocument back = WordDocument::open(path);
    ASSERT_EQ(back.tableCount(), 1);
    EXPECT_EQ(back.cellText(1, 1, 1), QStringLiteral("R, Ом:      "));
    EXPECT_EQ(back.cellText(1, 3, 12), QStringLiteral("3:12    "));

    const std::string xml = documentXml(path);
    // The new document's own paragraph is the centred one, directly before the table.
    const std::string centred =
        R"(<w:body><w:p><w:pPr><w:jc w:val="center"/></w:pPr><w:r><w:t xml:space="preserve">)"
        "История ввода</w:t></w:r></w:p><w:tbl>";
    EXPECT_NE(xml.find(centred), std::string::npos) << xml.substr(0, 600);
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        EXPECT_NE(xml.find(std::string("<w:") + side + R"( w:val="single" w:sz="4")"), std::string::npos)
            << side;
    EXPECT_NE(xml.find(R"(<w:tblW w:w="5000" w:type="pct"/><w:jc w:val="center"/>)"), std::string::npos);
    // A paragraph after the table, and the page set-up last.
    EXPECT_NE(xml.find("</w:tbl><w:p/><w:sectPr>"), std::string::npos);
}

TEST_F(DocumentTest, SecondTableAndTablesInOpenedDocuments)
{
    const QString target = templateCopy();
    WordDocument doc = WordDocument::open(target);
    EXPECT_EQ(doc.addTableAfterCentredParagraph(QString(), 1, 12), 9);
    EXPECT_EQ(doc.addTableAfterCentredParagraph(QStringLiteral("ещё"), 2, 1), 10);
    doc.setCellText(10, 2, 1, QStringLiteral("последняя"));
    doc.save();
    const WordDocument back = WordDocument::open(target);
    EXPECT_EQ(back.tableCount(), 10);
    EXPECT_EQ(back.cellCount(9, 1), 12);
    EXPECT_EQ(back.cellText(10, 2, 1), QStringLiteral("последняя"));
    EXPECT_EQ(back.cellText(1, 1, 1), QStringLiteral("R₀₄ₓ = "));
}

TEST_F(DocumentTest, RefusesTablesOfImpossibleSize)
{
    WordDocument doc = WordDocument::create();
    for (auto [rows, columns] : {std::pair{0, 12}, std::pair{1, 0}, std::pair{1, 64}, std::pair{32768, 1}})
        EXPECT_NE(errorOf([&] {
                      doc.addTableAfterCentredParagraph(QString(), rows, columns);
                  }).find("cannot be made"),
                  std::string::npos)
            << rows << 'x' << columns;
    EXPECT_EQ(doc.tableCount(), 0);
}

struct BadFile {
    const char* name;
    QByteArray bytes;
    const char* error;
};

class UnreadableFiles : public DocumentTest, public ::testing::WithParamInterface<BadFile>
{
};

TEST_P(UnreadableFiles, AreRefusedAndLeftAsTheyWere)
{
    const QString path = file(QStringLiteral("Протокол.docx"));
    writeBytes(path, GetParam().bytes);
    const std::string error = errorOf([&] { WordDocument::open(path); });
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
    EXPECT_NE(error.find("Протокол.docx"), std::string::npos) << error;
    EXPECT_EQ(readBytes(path), GetParam().bytes);
}

QByteArray docxWithDocumentXml(const std::string& xml)
{
    docx::Package package = docx::newPackage(xml, "broken");
    return QByteArray::fromStdString(docx::zip(package));
}

QByteArray docxWithoutPart(const std::string& name)
{
    docx::Package package = docx::unzip(packageWithBody("<w:p/>").toStdString());
    std::erase_if(package, [&](const docx::Part& p) { return p.name == name; });
    return QByteArray::fromStdString(docx::zip(package));
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableFiles,
    ::testing::Values(BadFile{"empty", QByteArray(), "is not a Word document"},
                      BadFile{"text", QByteArray("R02 0,01\r\n"), "is not a Word document"},
                      BadFile{"cut", packageWithBody("<w:p/>").left(300), "is not a Word document"},
                      BadFile{"noDocument", docxWithoutPart("word/document.xml"), "main document"},
                      BadFile{"noRelationships", docxWithoutPart("_rels/.rels"), "relationships"},
                      BadFile{"malformed", docxWithDocumentXml("<w:document><w:body>"), "not well-formed"},
                      BadFile{"notWord",
                              docxWithDocumentXml("<html xmlns=\"http://www.w3.org/1999/xhtml\"/>"),
                              "not a WordprocessingML document"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST_F(DocumentTest, MissingFileIsReportedByName)
{
    const std::string error = errorOf([&] { WordDocument::open(file(QStringLiteral("нет такого.docx"))); });
    EXPECT_NE(error.find("Cannot read the document"), std::string::npos) << error;
    EXPECT_NE(error.find("нет такого.docx"), std::string::npos) << error;
}

// A failure while filling leaves the template copy on disk byte for byte; so does a target
// that cannot be written.
TEST_F(DocumentTest, FailuresLeaveTheFileOnDiskAsItWas)
{
    const QString target = templateCopy();
    const QByteArray before = readBytes(target);
    {
        WordDocument doc = WordDocument::open(target);
        doc.setCellText(1, 1, 1, QStringLiteral("R₀₄ₓ = 0,01"));
        EXPECT_THROW(doc.setCellText(9, 2, 3, QStringLiteral("x")), DocumentError);
        EXPECT_THROW(doc.setCellText(2, 11, 3, QStringLiteral("x")), DocumentError);
    }
    EXPECT_EQ(readBytes(target), before);

    WordDocument doc = WordDocument::open(target);
    doc.setCellText(1, 1, 1, QStringLiteral("R₀₄ₓ = 0,01"));
    const QString folderTarget = file(QStringLiteral("папка.docx"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("папка.docx")));
    const QString missingFolder = file(QStringLiteral("нет/Протокол.docx"));
    for (const QString& bad : {folderTarget, missingFolder}) {
        const std::string error = errorOf([&] { doc.save(bad); });
        EXPECT_NE(error.find("Cannot write the document"), std::string::npos) << error;
        EXPECT_NE(error.find(QDir::toNativeSeparators(bad).toStdString()), std::string::npos) << error;
    }
    EXPECT_TRUE(QFileInfo(folderTarget).isDir());
    EXPECT_FALSE(QFileInfo::exists(missingFolder));
    EXPECT_EQ(doc.path(), target);
    EXPECT_EQ(readBytes(target), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(target).fileName()});

    // The earlier file in a folder that refuses writing stays as it was, without leftovers.
    const QString lockedDir = file(QStringLiteral("закрыто"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("закрыто")));
    const QString locked = lockedDir + QStringLiteral("/Протокол.docx");
    ASSERT_TRUE(QFile::copy(target, locked));
    ASSERT_TRUE(QFile::setPermissions(lockedDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (geteuid() != 0) { // the superuser writes anyway
        EXPECT_THROW(doc.save(locked), DocumentError);
        EXPECT_EQ(readBytes(locked), before);
        EXPECT_EQ(QDir(lockedDir).entryList(QDir::Files), QStringList{QStringLiteral("Протокол.docx")});
    }
    QFile::setPermissions(lockedDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_NE(errorOf([] { WordDocument::create().save(); }).find("no file name"), std::string::npos);
}

TEST_F(DocumentTest, ShowSeamGetsTheWrittenPath)
{
    EXPECT_TRUE(documentsAvailable());
    const QString path = file(QStringLiteral("История ввода.docx"));
    WordDocument doc = WordDocument::create();
    doc.addTableAfterCentredParagraph(QString(), 2, 12);
    doc.saveAndShow(path);
    EXPECT_EQ(seam.shown(), QStringList{QFileInfo(path).absoluteFilePath()});
    EXPECT_EQ(WordDocument::open(path).tableCount(), 1);

    // The desktop refuses to open it: the document is written, and the error says where.
    seam.setShowSucceeds(false);
    const QString second = file(QStringLiteral("second.docx"));
    const std::string error = errorOf([&] { doc.saveAndShow(second); });
    EXPECT_NE(error.find("no program could open it"), std::string::npos) << error;
    EXPECT_NE(error.find(QFileInfo(second).absoluteFilePath().toStdString()), std::string::npos) << error;
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(seam.shown().size(), 2);
}

TEST_F(DocumentTest, UnavailableDesktopWritesNothing)
{
    {
        DocumentShowSeam inner;
        inner.setAvailable(false);
        EXPECT_FALSE(documentsAvailable());
        const QString path = file(QStringLiteral("a.docx"));
        WordDocument doc = WordDocument::create();
        EXPECT_THROW(doc.saveAndShow(path), DocumentsUnavailable);
        EXPECT_THROW(showDocument(path), DocumentsUnavailable);
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_TRUE(inner.shown().isEmpty());
    }
    // The outer seam answers again.
    EXPECT_TRUE(documentsAvailable());
    showDocument(file(QStringLiteral("b.docx")));
    EXPECT_EQ(seam.shown().size(), 1);
}

} // namespace
