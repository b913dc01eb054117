#include "platform/WordDocument.h"

#include "platform/DocxPackage.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <pugixml.hpp>

#include <sstream>
#include <vector>

DocumentError::DocumentError(const QString& text) : std::runtime_error(text.toStdString()), m_russian(text) {}

DocumentError::DocumentError(const QString& english, const QString& russian)
    : std::runtime_error(english.toStdString()), m_russian(russian)
{
}

QString DocumentError::text(bool russian) const
{
    return russian ? m_russian : QString::fromUtf8(what());
}

DocumentsUnavailable::DocumentsUnavailable()
    : DocumentError(QStringLiteral("The program xdg-open of the package xdg-utils is needed."),
                    QStringLiteral("Нужна программа xdg-open из пакета xdg-utils."))
{
}

DocumentNotShown::DocumentNotShown(const QString& path)
    : DocumentError(QStringLiteral("The document was saved as %1, but no program could open it.")
                        .arg(QDir::toNativeSeparators(path)),
                    QStringLiteral("Документ сохранён: %1. Открыть его не удалось: нет программы для "
                                   "документов Word.")
                        .arg(QDir::toNativeSeparators(path))),
      m_path(path)
{
}

namespace
{

constexpr int kMaxRows = 32767;
constexpr int kMaxColumns = 63;

// Parse options that keep a document as it was: whitespace-only texts (a cell of blanks)
// and the declaration survive a round trip.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

QString displayName(const QString& path)
{
    return path.isEmpty() ? QStringLiteral("the new document") : QDir::toNativeSeparators(path);
}

QString displayNameRu(const QString& path)
{
    return path.isEmpty() ? QStringLiteral("новый документ") : QDir::toNativeSeparators(path);
}

// The XML of the body of a new document: one empty paragraph, then the page set-up.
std::string newDocumentXml()
{
    return std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") + "\n" +
           R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )" +
           R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)" +
           "<w:body><w:p/>" + docx::sectionPropertiesXml() + "</w:body></w:document>";
}

// The main document part, as the package relationships name it.
std::string mainPartName(const docx::Package& package)
{
    const docx::Part* rels = docx::findPart(package, "_rels/.rels");
    if (!rels)
        throw std::runtime_error("the package has no relationships (_rels/.rels)");
    pugi::xml_document doc;
    if (!doc.load_buffer(rels->data.data(), rels->data.size()))
        throw std::runtime_error("the package relationships are not well-formed XML");
    for (pugi::xml_node rel : doc.document_element().children()) {
        const std::string type = rel.attribute("Type").value();
        const std::string suffix = "/officeDocument";
        if (type.size() > suffix.size() &&
            type.compare(type.size() - suffix.size(), suffix.size(), suffix) == 0) {
            std::string target = rel.attribute("Target").value();
            if (!target.empty() && target.front() == '/')
                target.erase(0, 1);
            return target;
        }
    }
    throw std::runtime_error("the package names no main document");
}

// A text is refused when XML 1.0 cannot hold one of its characters.
void checkXmlText(const QString& text, const QString& where)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        bool ok = true;
        if (QChar::isHighSurrogate(c)) {
            ok = i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            ok = false;
        } else if (c < 0x20) {
            ok = c == u'\t' || c == u'\n' || c == u'\r';
        } else {
            ok = c != 0xFFFE && c != 0xFFFF;
        }
        if (!ok) {
            const QString code = QString::number(c, 16).toUpper().rightJustified(4, u'0');
            throw DocumentError(
                QStringLiteral("The text for %1 holds a character a document cannot hold (U+%2)").arg(where, code),
                QStringLiteral("Текст содержит символ, которого документ не может хранить (U+%1)").arg(code));
        }
    }
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

} // namespace

struct WordDocument::Impl {
    docx::Package package;
    std::string partName; // the main document part inside the package
    pugi::xml_document xml;
    std::string w; // the WordprocessingML prefix with its colon, e.g. "w:"
    pugi::xml_node body;
    QString path;

    std::string name(const char* local) const { return w + local; }
    bool is(pugi::xml_node node, const char* local) const { return node.name() == name(local); }

    void load(const std::string& bytes);

    // Elements named want among the children of parent, looking through the wrappers
    // (content controls, custom XML) that may stand between a table and its rows or a row
    // and its cells.
    void collect(pugi::xml_node parent, const char* want, std::vector<pugi::xml_node>& out) const;
    std::vector<pugi::xml_node> tables() const;
    std::vector<pugi::xml_node> cells(pugi::xml_node row) const;
    pugi::xml_node table(int t) const;
    pugi::xml_node row(int t, int r) const;
    pugi::xml_node cell(int t, int r, int c) const;

    void appendText(pugi::xml_node node, QString& out, bool& inParagraph) const;
    void appendRunContent(pugi::xml_node run, const QString& text) const;
    int textWidth() const;
};

void WordDocument::Impl::load(const std::string& bytes)
{
    package = docx::unzip(bytes);
    partName = mainPartName(package);
    const docx::Part* part = docx::findPart(package, partName);
    if (!part)
        throw std::runtime_error("the main document " + partName + " is missing");
    const pugi::xml_parse_result parsed =
        xml.load_buffer(part->data.data(), part->data.size(), kParseOptions);
    if (!parsed)
        throw std::runtime_error(partName + " is not well-formed XML: " + parsed.description() + " at byte " +
                                 std::to_string(parsed.offset));
    const pugi::xml_node root = xml.document_element();
    bool found = false;
    for (pugi::xml_attribute a : root.attributes()) {
        const std::string attr = a.name();
        const std::string value = a.value();
        if (value != docx::kWordNamespace && value != docx::kWordStrictNamespace)
            continue;
        if (attr == "xmlns" || attr.rfind("xmlns:", 0) == 0) {
            w = attr == "xmlns" ? std::string() : attr.substr(6) + ":";
            found = true;
            break;
        }
    }
    if (!found || root.name() != name("document"))
        throw std::runtime_error(partName + " is not a WordprocessingML document");
    body = root.child(name("body").c_str());
    if (!body)
        throw std::runtime_error(partName + " has no body");
}

void WordDocument::Impl::collect(pugi::xml_node parent, const char* want,
                                 std::vector<pugi::xml_node>& out) const
{
    for (pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (is(child, want))
            out.push_back(child);
        else if (is(child, "sdt") || is(child, "sdtContent") || is(child, "customXml"))
            collect(child, want, out);
    }
}

std::vector<pugi::xml_node> WordDocument::Impl::tables() const
{
    std::vector<pugi::xml_node> out;
    collect(body, "tbl", out);
    return out;
}

std::vector<pugi::xml_node> WordDocument::Impl::cells(pugi::xml_node tr) const
{
    std::vector<pugi::xml_node> all;
    collect(tr, "tc", all);
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node tc : all) {
        // A cell that continues a vertical merge is part of the cell above it.
        const pugi::xml_node vMerge = tc.child(name("tcPr").c_str()).child(name("vMerge").c_str());
        const std::string val = vMerge.attribute(name("val").c_str()).value();
        if (vMerge && val != "restart")
            continue;
        out.push_back(tc);
    }
    return out;
}

pugi::xml_node WordDocument::Impl::table(int t) const
{
    const std::vector<pugi::xml_node> all = tables();
    if (t < 1 || t > static_cast<int>(all.size()))
        throw DocumentError(
            QStringLiteral("%1 has no table %2: it has %3 tables").arg(displayName(path)).arg(t).arg(all.size()),
            QStringLiteral("В документе %1 нет таблицы %2: таблиц в нём %3")
                .arg(displayNameRu(path))
                .arg(t)
                .arg(all.size()));
    return all[static_cast<std::size_t>(t - 1)];
}

pugi::xml_node WordDocument::Impl::row(int t, int r) const
{
    std::vector<pugi::xml_node> rows;
    collect(table(t), "tr", rows);
    if (r < 1 || r > static_cast<int>(rows.size()))
        throw DocumentError(QStringLiteral("Table %1 of %2 has no row %3: it has %4 rows")
                                .arg(t)
                                .arg(displayName(path))
                                .arg(r)
                                .arg(rows.size()),
                            QStringLiteral("В таблице %1 документа %2 нет строки %3: строк в ней %4")
                                .arg(t)
                                .arg(displayNameRu(path))
                                .arg(r)
                                .arg(rows.size()));
    return rows[static_cast<std::size_t>(r - 1)];
}

pugi::xml_node WordDocument::Impl::cell(int t, int r, int c) const
{
    const std::vector<pugi::xml_node> all = cells(row(t, r));
    if (c < 1 || c > static_cast<int>(all.size()))
        throw DocumentError(QStringLiteral("Table %1 of %2 has no cell (%3, %4): row %3 has %5 cells")
                                .arg(t)
                                .arg(displayName(path))
                                .arg(r)
                                .arg(c)
                                .arg(all.size()),
                            QStringLiteral("В таблице %1 документа %2 нет ячейки (%3, %4): в строке %3 ячеек %5")
                                .arg(t)
                                .arg(displayNameRu(path))
                                .arg(r)
                                .arg(c)
                                .arg(all.size()));
    return all[static_cast<std::size_t>(c - 1)];
}

void WordDocument::Impl::appendText(pugi::xml_node node, QString& out, bool& inParagraph) const
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (is(child, "t")) {
            out += QString::fromUtf8(child.text().get());
        } else if (is(child, "tab")) {
            out += u'\t';
        } else if (is(child, "br") || is(child, "cr")) {
            out += u'\n';
        } else if (is(child, "p")) {
            if (inParagraph)
                out += u'\r';
            inParagraph = true;
            appendText(child, out, inParagraph);
        } else if (!is(child, "pPr") && !is(child, "rPr") && !is(child, "tcPr") && !is(child, "trPr") &&
                   !is(child, "tblPr") && !is(child, "drawing") && !is(child, "pict") &&
                   !is(child, "object")) {
            appendText(child, out, inParagraph);
        }
    }
}

void WordDocument::Impl::appendRunContent(pugi::xml_node run, const QString& text) const
{
    QString pending;
    const auto flush = [&] {
        if (pending.isEmpty())
            return;
        pugi::xml_node t = run.append_child(name("t").c_str());
        t.append_attribute("xml:space") = "preserve";
        t.text().set(pending.toStdString().c_str());
        pending.clear();
    };
    for (const QChar ch : text) {
        if (ch == u'\t' || ch == u'\n') {
            flush();
            run.append_child(name(ch == u'\t' ? "tab" : "br").c_str());
        } else {
            pending += ch;
        }
    }
    flush();
}

int WordDocument::Impl::textWidth() const
{
    const pugi::xml_node sectPr = body.child(name("sectPr").c_str());
    const int page = sectPr.child(name("pgSz").c_str()).attribute(name("w").c_str()).as_int();
    const pugi::xml_node margins = sectPr.child(name("pgMar").c_str());
    const int width = page - margins.attribute(name("left").c_str()).as_int() -
                      margins.attribute(name("right").c_str()).as_int();
    return page > 0 && width > 0 ? width : docx::kTextWidth;
}

WordDocument::WordDocument() : m(std::make_unique<Impl>()) {}
WordDocument::WordDocument(WordDocument&&) noexcept = default;
WordDocument& WordDocument::operator=(WordDocument&&) noexcept = default;
WordDocument::~WordDocument() = default;

WordDocument WordDocument::open(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DocumentError(
            QStringLiteral("Cannot read the document %1: %2").arg(displayName(path), file.errorString()),
            QStringLiteral("Не удалось прочитать документ %1: %2").arg(displayNameRu(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DocumentError(
            QStringLiteral("Cannot read the document %1: %2").arg(displayName(path), file.errorString()),
            QStringLiteral("Не удалось прочитать документ %1: %2").arg(displayNameRu(path), file.errorString()));
    WordDocument doc;
    doc.m->path = path;
    try {
        doc.m->load(bytes.toStdString());
    } catch (const std::runtime_error& e) {
        throw DocumentError(QStringLiteral("%1 is not a Word document (.docx): %2")
                                .arg(displayName(path), QString::fromUtf8(e.what())),
                            QStringLiteral("%1 не является документом Word (.docx): %2")
                                .arg(displayNameRu(path), QString::fromUtf8(e.what())));
    }
    return doc;
}

WordDocument WordDocument::create()
{
    WordDocument doc;
    doc.m->load(docx::zip(docx::newPackage(newDocumentXml(), std::string())));
    return doc;
}

QString WordDocument::path() const
{
    return m->path;
}

int WordDocument::tableCount() const
{
    return static_cast<int>(m->tables().size());
}

int WordDocument::rowCount(int table) const
{
    std::vector<pugi::xml_node> rows;
    m->collect(m->table(table), "tr", rows);
    return static_cast<int>(rows.size());
}

int WordDocument::cellCount(int table, int row) const
{
    return static_cast<int>(m->cells(m->row(table, row)).size());
}

QString WordDocument::cellText(int table, int row, int column) const
{
    QString out;
    bool inParagraph = false;
    m->appendText(m->cell(table, row, column), out, inParagraph);
    return out;
}

void WordDocument::setCellText(int table, int row, int column, const QString& text)
{
    pugi::xml_node tc = m->cell(table, row, column);
    checkXmlText(text, QStringLiteral("cell (%1, %2) of table %3").arg(row).arg(column).arg(table));

    // The formatting to keep: the first paragraph's properties and those of its first run
    // (or, in an empty paragraph, of its paragraph mark). Revision marks are not carried over.
    pugi::xml_document keep;
    const pugi::xml_node firstP = tc.find_node([this](pugi::xml_node n) { return m->is(n, "p"); });
    const pugi::xml_node pPr = keep.append_copy(firstP.child(m->name("pPr").c_str()));
    pugi::xml_node rPrSource =
        firstP.find_node([this](pugi::xml_node n) { return m->is(n, "rPr") && m->is(n.parent(), "r"); });
    if (!rPrSource)
        rPrSource = firstP.child(m->name("pPr").c_str()).child(m->name("rPr").c_str());
    const pugi::xml_node rPr = keep.append_copy(rPrSource);
    for (pugi::xml_node props : {rPr, pPr.child(m->name("rPr").c_str())}) {
        for (const char* mark : {"ins", "del", "moveFrom", "moveTo", "rPrChange"}) {
            while (pugi::xml_node n = props.child(m->name(mark).c_str()))
                props.remove_child(n);
        }
    }

    for (pugi::xml_node child = tc.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (!m->is(child, "tcPr"))
            tc.remove_child(child);
        child = next;
    }

    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    for (const QString& paragraph : normalized.split(u'\r')) {
        pugi::xml_node p = tc.append_child(m->name("p").c_str());
        if (pPr)
            p.append_copy(pPr);
        if (paragraph.isEmpty())
            continue;
        pugi::xml_node r = p.append_child(m->name("r").c_str());
        if (rPr)
            r.append_copy(rPr);
        m->appendRunContent(r, paragraph);
    }
}

int WordDocument::addTableAfterCentredParagraph(const QString& paragraphText, int rows, int columns)
{
    if (rows < 1 || rows > kMaxRows || columns < 1 || columns > kMaxColumns)
        throw DocumentError(
            QStringLiteral("A table of %1 x %2 cannot be made: 1 to %3 rows and 1 to %4 columns")
                .arg(rows)
                .arg(columns)
                .arg(kMaxRows)
                .arg(kMaxColumns),
            QStringLiteral("Таблицу %1 x %2 создать нельзя: допустимо от 1 до %3 строк и от 1 до %4 столбцов")
                .arg(rows)
                .arg(columns)
                .arg(kMaxRows)
                .arg(kMaxColumns));
    checkXmlText(paragraphText, QStringLiteral("the paragraph before the table"));
    const auto n = [this](const char* local) { return m->name(local); };
    pugi::xml_node body = m->body;

    // The table goes after the last block, which stands before the section properties.
    pugi::xml_node sectPr = body.last_child();
    while (sectPr && sectPr.type() != pugi::node_element)
        sectPr = sectPr.previous_sibling();
    if (sectPr && !m->is(sectPr, "sectPr"))
        sectPr = pugi::xml_node();
    pugi::xml_node last = sectPr ? sectPr.previous_sibling() : body.last_child();
    while (last && last.type() != pugi::node_element)
        last = last.previous_sibling();

    // A bare empty paragraph at the end (a new document's, or the one after an earlier
    // table) becomes the heading paragraph.
    pugi::xml_node para;
    if (last && m->is(last, "p") && !last.first_child())
        para = last;
    else if (sectPr)
        para = body.insert_child_before(n("p").c_str(), sectPr);
    else
        para = body.append_child(n("p").c_str());
    para.append_child(n("pPr").c_str()).append_child(n("jc").c_str()).append_attribute(n("val").c_str()) =
        "center";
    if (!paragraphText.isEmpty())
        m->appendRunContent(para.append_child(n("r").c_str()), paragraphText);

    pugi::xml_node tbl = body.insert_child_after(n("tbl").c_str(), para);
    pugi::xml_node tblPr = tbl.append_child(n("tblPr").c_str());
    pugi::xml_node tblW = tblPr.append_child(n("tblW").c_str());
    tblW.append_attribute(n("w").c_str()) = 5000; // fiftieths of a percent: the whole text width
    tblW.append_attribute(n("type").c_str()) = "pct";
    tblPr.append_child(n("jc").c_str()).append_attribute(n("val").c_str()) = "center";
    pugi::xml_node borders = tblPr.append_child(n("tblBorders").c_str());
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        pugi::xml_node b = borders.append_child(n(side).c_str());
        b.append_attribute(n("val").c_str()) = "single";
        b.append_attribute(n("sz").c_str()) = 4;
        b.append_attribute(n("space").c_str()) = 0;
        b.append_attribute(n("color").c_str()) = "auto";
    }
    tblPr.append_child(n("tblLayout").c_str()).append_attribute(n("type").c_str()) = "autofit";

    const int columnWidth = m->textWidth() / columns;
    pugi::xml_node grid = tbl.append_child(n("tblGrid").c_str());
    for (int c = 0; c < columns; ++c)
        grid.append_child(n("gridCol").c_str()).append_attribute(n("w").c_str()) = columnWidth;
    for (int r = 0; r < rows; ++r) {
        pugi::xml_node tr = tbl.append_child(n("tr").c_str());
        for (int c = 0; c < columns; ++c) {
            pugi::xml_node tc = tr.append_child(n("tc").c_str());
            pugi::xml_node tcW = tc.append_child(n("tcPr").c_str()).append_child(n("tcW").c_str());
            tcW.append_attribute(n("w").c_str()) = columnWidth;
            tcW.append_attribute(n("type").c_str()) = "dxa";
            tc.append_child(n("p").c_str())
                .append_child(n("pPr").c_str())
                .append_child(n("jc").c_str())
                .append_attribute(n("val").c_str()) = "center";
        }
    }
    // A table is always followed by a paragraph.
    body.insert_child_after(n("p").c_str(), tbl);

    const std::vector<pugi::xml_node> all = m->tables();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == tbl)
            return static_cast<int>(i) + 1;
    return static_cast<int>(all.size());
}

void WordDocument::save(const QString& path)
{
    const QString target = path.isEmpty() ? m->path : path;
    if (target.isEmpty())
        throw DocumentError(QStringLiteral("The new document has no file name to be written to"),
                            QStringLiteral("У нового документа нет имени файла для записи"));

    StringWriter writer;
    m->xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    docx::Package package = m->package;
    docx::findPart(package, m->partName)->data = std::move(writer.out);
    std::string bytes;
    try {
        bytes = docx::zip(package);
    } catch (const std::runtime_error& e) {
        throw DocumentError(QStringLiteral("Cannot write the document %1: %2")
                                .arg(displayName(target), QString::fromUtf8(e.what())),
                            QStringLiteral("Не удалось записать документ %1: %2")
                                .arg(displayNameRu(target), QString::fromUtf8(e.what())));
    }

    QString why;
    if (!textfile::writeBytes(target, QByteArray::fromStdString(bytes), &why))
        throw DocumentError(QStringLiteral("Cannot write the document %1: %2").arg(displayName(target), why),
                            QStringLiteral("Не удалось записать документ %1: %2").arg(displayNameRu(target), why));
    m->package = std::move(package);
    m->path = target;
}

void WordDocument::saveAndShow(const QString& path)
{
    if (!documentsAvailable())
        throw DocumentsUnavailable();
    save(path);
    showDocument(m->path);
}

namespace
{
DocumentShowSeam* g_showSeam = nullptr;
}

DocumentShowSeam::DocumentShowSeam() : m_previous(g_showSeam)
{
    g_showSeam = this;
}

DocumentShowSeam::~DocumentShowSeam()
{
    g_showSeam = m_previous;
}

DocumentShowSeam* DocumentShowSeam::active()
{
    return g_showSeam;
}

bool DocumentShowSeam::show(const QString& path)
{
    m_shown.append(path);
    return m_showSucceeds;
}

namespace
{

// openUrl reports success as soon as xdg-open has started, even when xdg-open then finds no
// program for the file: ask the desktop's MIME database first whether one is registered.
bool desktopOpensWordDocuments()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"),
                 QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document")});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return true; // no answer: let xdg-open try
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
#else
    return true;
#endif
}

} // namespace

bool documentsAvailable()
{
    if (DocumentShowSeam* seam = DocumentShowSeam::active())
        return seam->available();
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt hands documents to xdg-open; without it nothing would open them.
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
#else
    return true;
#endif
}

void showDocument(const QString& path)
{
    if (!documentsAvailable())
        throw DocumentsUnavailable();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    bool shown = false;
    if (DocumentShowSeam* seam = DocumentShowSeam::active())
        shown = seam->show(absolute);
    else
        shown = desktopOpensWordDocuments() && QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
    if (!shown)
        throw DocumentNotShown(absolute);
}
