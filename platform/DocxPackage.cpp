#include "platform/DocxPackage.h"

#include <zip.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>

namespace docx
{

namespace
{

// A document of ours is a few hundred kilobytes; anything that unpacks to more is refused
// rather than filling the memory.
constexpr std::uint64_t kMaxUnpackedSize = 256u * 1024u * 1024u;

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceFreer>;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string readEntry(zip_t* archive, zip_uint64_t index, zip_uint64_t size, const char* name)
{
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        throw std::runtime_error(std::string("cannot unpack ") + name + ": " + zip_strerror(archive));
    std::string data(size, '\0');
    zip_uint64_t done = 0;
    while (done < size) {
        const zip_int64_t n = zip_fread(file.get(), data.data() + done, size - done);
        if (n < 0)
            throw std::runtime_error(std::string("cannot unpack ") + name + ": " +
                                     zip_error_strerror(zip_file_get_error(file.get())));
        if (n == 0)
            throw std::runtime_error(std::string("cannot unpack ") + name + ": the entry is cut short");
        done += static_cast<zip_uint64_t>(n);
    }
    return data;
}

const char* const kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(<Override PartName="/word/settings.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>)"
    R"(<Override PartName="/docProps/core.xml" )"
    R"(ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>)"
    R"(<Override PartName="/docProps/app.xml" )"
    R"(ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>)"
    R"(</Types>)";

struct Relationship {
    const char* type; // after the namespace of relationship types
    const char* target;
};

// A relationships part; the ids are rId1, rId2, ... in the order given.
std::string relationships(std::initializer_list<Relationship> list)
{
    std::string xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    int id = 0;
    for (const Relationship& r : list)
        xml += "<Relationship Id=\"rId" + std::to_string(++id) +
               "\" Type=\"http://schemas.openxmlformats.org/" + r.type + "\" Target=\"" + r.target + "\"/>";
    return xml + "</Relationships>";
}

const char* const kSettings =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<w:settings xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:defaultTabStop w:val="709"/>)"
    R"(<w:characterSpacingControl w:val="doNotCompress"/>)"
    R"(<w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" )"
    R"(w:val="15"/></w:compat>)"
    R"(</w:settings>)";

// Times New Roman 12 pt throughout (Liberation Serif stands in for it where it is missing),
// Russian as the language for spelling and hyphenation.
const char* const kStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:docDefaults><w:rPrDefault><w:rPr>)"
    R"(<w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:eastAsia="Times New Roman" )"
    R"(w:cs="Times New Roman"/>)"
    R"(<w:sz w:val="24"/><w:szCs w:val="24"/><w:lang w:val="ru-RU" w:eastAsia="en-US" w:bidi="ar-SA"/>)"
    R"(</w:rPr></w:rPrDefault>)"
    R"(<w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault>)"
    R"(</w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/>)"
    R"(</w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="Title"><w:name w:val="Title"/><w:basedOn w:val="Normal"/>)"
    R"(<w:next w:val="Normal"/><w:qFormat/>)"
    R"(<w:pPr><w:spacing w:after="120"/><w:jc w:val="center"/></w:pPr>)"
    R"(<w:rPr><w:b/><w:bCs/><w:caps/><w:sz w:val="32"/><w:szCs w:val="32"/></w:rPr></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="Heading1"><w:name w:val="heading 1"/>)"
    R"(<w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:qFormat/>)"
    R"(<w:pPr><w:keepNext/><w:spacing w:before="240" w:after="120"/><w:outlineLvl w:val="0"/></w:pPr>)"
    R"(<w:rPr><w:b/><w:bCs/><w:sz w:val="26"/><w:szCs w:val="26"/></w:rPr></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>)"
    R"(<w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/>)"
    R"(<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar>)"
    R"(<w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>)"
    R"(<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/>)"
    R"(</w:tblCellMar></w:tblPr></w:style>)"
    R"(<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/>)"
    R"(<w:basedOn w:val="TableNormal"/>)"
    R"(<w:tblPr><w:tblBorders>)"
    R"(<w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(</w:tblBorders></w:tblPr></w:style>)"
    R"(</w:styles>)";

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string coreProperties(const std::string& title)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           "\n"
           R"(<cp:coreProperties )"
           R"(xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
           R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" )"
           R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
           "<dc:title>" +
           xmlEscaped(title) +
           "</dc:title><dc:creator>vardeko</dc:creator><dc:language>ru-RU</dc:language>"
           "</cp:coreProperties>";
}

const char* const kAppProperties =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">)"
    R"(<Application>vardeko</Application></Properties>)";

} // namespace

Package unzip(const std::string& bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    SourceHandle source(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
    if (!source) {
        const std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw std::runtime_error(text);
    }
    ZipHandle archive(zip_open_from_source(source.get(), ZIP_RDONLY, &error));
    if (!archive) {
        const std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw std::runtime_error(text);
    }
    zip_error_fini(&error);
    // The archive owns the source from here on.
    source.release();

    Package package;
    std::uint64_t total = 0;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), index, 0, &stat) != 0)
            throw std::runtime_error(zip_strerror(archive.get()));
        if (!(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE))
            throw std::runtime_error("an entry without name or size");
        const std::string name = stat.name;
        if (!name.empty() && name.back() == '/')
            continue; // a folder entry holds nothing
        total += stat.size;
        if (stat.size > kMaxUnpackedSize || total > kMaxUnpackedSize)
            throw std::runtime_error("the package unpacks to more than 256 MiB");
        package.push_back({name, readEntry(archive.get(), index, stat.size, stat.name)});
    }
    return package;
}

std::string zip(const Package& package)
{
    zip_error_t error;
    zip_error_init(&error);
    SourceHandle buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        const std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw std::runtime_error(text);
    }
    // The archive takes a reference of its own, so the buffer outlives zip_close.
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    if (!archive) {
        const std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw std::runtime_error(text);
    }
    zip_error_fini(&error);
    zip_source_keep(buffer.get());

    for (const Part& part : package) {
        zip_source_t* data = zip_source_buffer(archive, part.data.data(), part.data.size(), 0);
        if (!data || zip_file_add(archive, part.name.c_str(), data, ZIP_FL_ENC_UTF_8) < 0) {
            const std::string text = zip_strerror(archive);
            zip_source_free(data);
            zip_discard(archive);
            throw std::runtime_error("cannot pack " + part.name + ": " + text);
        }
    }
    if (zip_close(archive) != 0) {
        const std::string text = zip_strerror(archive);
        zip_discard(archive);
        throw std::runtime_error("cannot pack the document: " + text);
    }

    if (zip_source_open(buffer.get()) != 0)
        throw std::runtime_error(zip_error_strerror(zip_source_error(buffer.get())));
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const zip_int64_t n = zip_source_read(buffer.get(), chunk, sizeof chunk);
        if (n < 0) {
            const std::string text = zip_error_strerror(zip_source_error(buffer.get()));
            zip_source_close(buffer.get());
            throw std::runtime_error(text);
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    zip_source_close(buffer.get());
    return bytes;
}

const Part* findPart(const Package& package, const std::string& name)
{
    for (const Part& part : package)
        if (part.name == name)
            return &part;
    return nullptr;
}

Part* findPart(Package& package, const std::string& name)
{
    return const_cast<Part*>(findPart(static_cast<const Package&>(package), name));
}

std::string sectionPropertiesXml()
{
    const auto n = [](int v) { return std::to_string(v); };
    return "<w:sectPr><w:pgSz w:w=\"" + n(kPageWidth) + "\" w:h=\"" + n(kPageHeight) +
           "\"/><w:pgMar w:top=\"" + n(kMarginTopBottom) + "\" w:right=\"" + n(kMarginRight) +
           "\" w:bottom=\"" + n(kMarginTopBottom) + "\" w:left=\"" + n(kMarginLeft) +
           "\" w:header=\"709\" w:footer=\"709\" w:gutter=\"0\"/><w:cols w:space=\"708\"/></w:sectPr>";
}

Package newPackage(const std::string& documentXml, const std::string& title)
{
    return {
        {"[Content_Types].xml", kContentTypes},
        {"_rels/.rels", relationships({
                            {"officeDocument/2006/relationships/officeDocument", "word/document.xml"},
                            {"package/2006/relationships/metadata/core-properties", "docProps/core.xml"},
                            {"officeDocument/2006/relationships/extended-properties", "docProps/app.xml"},
                        })},
        {"word/document.xml", documentXml},
        {"word/_rels/document.xml.rels", relationships({
                                             {"officeDocument/2006/relationships/styles", "styles.xml"},
                                             {"officeDocument/2006/relationships/settings", "settings.xml"},
                                         })},
        {"word/styles.xml", kStyles},
        {"word/settings.xml", kSettings},
        {"docProps/core.xml", coreProperties(title)},
        {"docProps/app.xml", kAppProperties},
    };
}

} // namespace docx
