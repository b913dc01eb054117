// Writes the verification protocol template "Поверка.docx" that the profile window fills.
// Run by the build: make_protocol_template <output path>.
//
// Layout the filling relies on (tables and cells count from 1, a cell is (row, column)):
//   table 1      row 1: (1,1) the 4-wire and (1,2) the 2-wire zero resistance;
//                row 2: what each of them is.
//   tables 2..8  one decade each, the lowest first; row 1 the headings, rows 2..10 the steps
//                1 to 9 of the decade: column 1 the nominal value ((2,1) gets the nominal of
//                the first step, rows 3..10 say which multiple of it they are), column 2 the
//                verifier's own notes, columns 3, 4, 5 the actual value, its deviation and the
//                permissible deviation.
// Everything else (title, instrument fields, conclusion) is for the verifier to fill by hand.

#include "platform/DocxPackage.h"

#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr int kDecades = 7;
constexpr int kSteps = 9;
constexpr int kBodySize = 24;  // half-points: 12 pt
constexpr int kTableSize = 22; // 11 pt in the tables

struct Format {
    const char* style = nullptr;
    const char* align = nullptr; // "center", "both", ...
    bool bold = false;
    bool italic = false;
    int size = 0; // half-points; 0 keeps the style's size
    bool keepNext = false;
    int before = -1; // spacing in twentieths of a point; -1 keeps the style's
    int after = -1;
};

void setVal(pugi::xml_node parent, const char* name, const char* value)
{
    parent.append_child(name).append_attribute("w:val") = value;
}

// Run properties in the order the schema wants them.
void appendRunProperties(pugi::xml_node parent, const Format& f)
{
    if (!f.bold && !f.italic && f.size == 0)
        return;
    pugi::xml_node rPr = parent.append_child("w:rPr");
    if (f.bold) {
        rPr.append_child("w:b");
        rPr.append_child("w:bCs");
    }
    if (f.italic) {
        rPr.append_child("w:i");
        rPr.append_child("w:iCs");
    }
    if (f.size != 0) {
        rPr.append_child("w:sz").append_attribute("w:val") = f.size;
        rPr.append_child("w:szCs").append_attribute("w:val") = f.size;
    }
}

// A paragraph with one run of text (none for an empty text). The paragraph mark carries the
// run's formatting too, so that a text written into an empty cell later looks the same.
pugi::xml_node paragraph(pugi::xml_node parent, const std::string& text, const Format& f = {})
{
    pugi::xml_node p = parent.append_child("w:p");
    pugi::xml_node pPr = p.append_child("w:pPr");
    if (f.style)
        setVal(pPr, "w:pStyle", f.style);
    if (f.keepNext)
        pPr.append_child("w:keepNext");
    if (f.before >= 0 || f.after >= 0) {
        pugi::xml_node spacing = pPr.append_child("w:spacing");
        if (f.before >= 0)
            spacing.append_attribute("w:before") = f.before;
        if (f.after >= 0)
            spacing.append_attribute("w:after") = f.after;
    }
    if (f.align)
        setVal(pPr, "w:jc", f.align);
    appendRunProperties(pPr, f);
    if (!pPr.first_child())
        p.remove_child(pPr);
    if (!text.empty()) {
        pugi::xml_node r = p.append_child("w:r");
        appendRunProperties(r, f);
        pugi::xml_node t = r.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(text.c_str());
    }
    return p;
}

struct Cell {
    std::string text;
    Format format;
};

// A table with single grid lines; header rows repeat on every page and are shaded.
void table(pugi::xml_node body, const std::vector<int>& widths, const std::vector<std::vector<Cell>>& rows,
           int headerRows)
{
    pugi::xml_node tbl = body.append_child("w:tbl");
    pugi::xml_node tblPr = tbl.append_child("w:tblPr");
    setVal(tblPr, "w:tblStyle", "TableGrid");
    int total = 0;
    for (int w : widths)
        total += w;
    pugi::xml_node tblW = tblPr.append_child("w:tblW");
    tblW.append_attribute("w:w") = total;
    tblW.append_attribute("w:type") = "dxa";
    setVal(tblPr, "w:jc", "center");
    pugi::xml_node borders = tblPr.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        pugi::xml_node b = borders.append_child(side);
        b.append_attribute("w:val") = "single";
        b.append_attribute("w:sz") = 4;
        b.append_attribute("w:space") = 0;
        b.append_attribute("w:color") = "auto";
    }
    tblPr.append_child("w:tblLayout").append_attribute("w:type") = "fixed";
    pugi::xml_node look = tblPr.append_child("w:tblLook");
    look.append_attribute("w:val") = "04A0";
    look.append_attribute("w:firstRow") = 1;
    look.append_attribute("w:lastRow") = 0;
    look.append_attribute("w:firstColumn") = 0;
    look.append_attribute("w:lastColumn") = 0;
    look.append_attribute("w:noHBand") = 0;
    look.append_attribute("w:noVBand") = 1;

    pugi::xml_node grid = tbl.append_child("w:tblGrid");
    for (int w : widths)
        grid.append_child("w:gridCol").append_attribute("w:w") = w;

    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool header = static_cast<int>(r) < headerRows;
        pugi::xml_node tr = tbl.append_child("w:tr");
        pugi::xml_node trPr = tr.append_child("w:trPr");
        trPr.append_child("w:cantSplit");
        if (header)
            trPr.append_child("w:tblHeader");
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            pugi::xml_node tc = tr.append_child("w:tc");
            pugi::xml_node tcPr = tc.append_child("w:tcPr");
            pugi::xml_node tcW = tcPr.append_child("w:tcW");
            tcW.append_attribute("w:w") = widths[c];
            tcW.append_attribute("w:type") = "dxa";
            if (header) {
                pugi::xml_node shd = tcPr.append_child("w:shd");
                shd.append_attribute("w:val") = "clear";
                shd.append_attribute("w:color") = "auto";
                shd.append_attribute("w:fill") = "E7E6E6";
            }
            setVal(tcPr, "w:vAlign", "center");
            paragraph(tc, rows[r][c].text, rows[r][c].format);
        }
    }
}

// Table 1: the zero resistances.
void zeroResistanceTable(pugi::xml_node body)
{
    Format value;
    value.align = "center";
    value.size = kBodySize;
    Format note;
    note.align = "center";
    note.italic = true;
    note.size = 20;
    const int half = docx::kTextWidth / 2;
    table(body, {half, docx::kTextWidth - half},
          {
              {{"R₀₄ₓ = ", value}, {"R₀₂ₓ = ", value}},
              {{"при четырёхпроводном подключении, Ом", note}, {"при двухпроводном подключении, Ом", note}},
          },
          0);
}

// Tables 2 to 8: decade 1 (the lowest) to 7 (the highest).
void decadeTable(pugi::xml_node body, int decade)
{
    Format caption;
    caption.bold = true;
    caption.keepNext = true;
    caption.before = 240;
    caption.after = 120;
    std::string title = "Таблица " + std::to_string(decade + 1) + ". Декада " + std::to_string(decade);
    if (decade == 1)
        title += " (младшая)";
    else if (decade == kDecades)
        title += " (старшая)";
    paragraph(body, title, caption);

    Format head;
    head.align = "center";
    head.bold = true;
    head.size = 18;
    Format cell;
    cell.align = "center";
    cell.size = kTableSize;

    std::vector<std::vector<Cell>> rows;
    rows.push_back({{"Номинальное значение, Ом", head},
                    {"Отметки поверителя", head},
                    {"Действительное значение, Ом", head},
                    // One template serves both protocols: the periodic one compares with the
                    // actual value the instrument holds, not with the nominal.
                    {"Отклонение от номинального (при периодической поверке — от "
                     "действительного) значения, %",
                     head},
                    {"Пределы допускаемого отклонения, ± %", head}});
    for (int step = 1; step <= kSteps; ++step) {
        const std::string nominal = step == 1 ? std::string() : std::to_string(step) + " × R₁";
        rows.push_back({{nominal, cell}, {"", cell}, {"", cell}, {"", cell}, {"", cell}});
    }
    table(body, {1800, 1650, 1955, 2150, 1800}, rows, 1);
}

std::string documentXml()
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
    pugi::xml_node root = doc.append_child("w:document");
    root.append_attribute("xmlns:w") = docx::kWordNamespace;
    root.append_attribute("xmlns:r") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    pugi::xml_node body = root.append_child("w:body");

    Format title;
    title.style = "Title";
    paragraph(body, "Протокол поверки", title);
    Format subtitle;
    subtitle.align = "center";
    subtitle.after = 240;
    paragraph(body, "меры электрического сопротивления многозначной РД5540", subtitle);

    Format field;
    field.after = 60;
    for (const char* line : {
             "Модификация меры: ________________________________________________",
             "Заводской номер: _________________________________________________",
             "Класс точности: __________________________________________________",
             "Принадлежит: ____________________________________________________",
             "Вид поверки: первичная / периодическая (ненужное зачеркнуть)",
             "Средства поверки: ________________________________________________",
             "Условия поверки: температура окружающего воздуха ______ °C, относительная влажность ______ %, "
             "атмосферное давление ______ кПа",
             "Дата поверки: «____» ________________ 20____ г.",
         })
        paragraph(body, line, field);

    Format heading;
    heading.style = "Heading1";
    paragraph(body, "1. Начальное сопротивление", heading);
    Format text;
    text.after = 120;
    text.keepNext = true;
    paragraph(body, "Таблица 1. Сопротивление меры при нулевых положениях всех декад", text);
    zeroResistanceTable(body);

    paragraph(body, "2. Действительные значения сопротивления ступеней декад", heading);
    Format note;
    note.align = "both";
    paragraph(body,
              "R₁ — номинальное значение первой ступени декады. Действительные значения приведены "
              "за вычетом начального сопротивления R₀₄ₓ при четырёхпроводном подключении.",
              note);
    for (int decade = 1; decade <= kDecades; ++decade)
        decadeTable(body, decade);

    paragraph(body, "3. Заключение", heading);
    Format conclusion;
    conclusion.align = "both";
    conclusion.after = 240;
    paragraph(body,
              "Мера соответствует / не соответствует установленным требованиям и признана пригодной / "
              "непригодной к применению (ненужное зачеркнуть).",
              conclusion);
    paragraph(body, "Поверитель: ____________________ / ____________________ /", field);
    paragraph(body, "Дата: «____» ________________ 20____ г.", field);

    pugi::xml_document sect;
    const std::string sectXml = docx::sectionPropertiesXml();
    // The page set-up uses the prefix w without declaring it; parsing it alone is fine for pugixml.
    sect.load_buffer(sectXml.data(), sectXml.size());
    body.append_copy(sect.document_element());

    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_protocol_template <output.docx>\n";
        return 2;
    }
    const std::filesystem::path target = std::filesystem::path(argv[1]);
    std::filesystem::path temporary = target;
    temporary += ".part";
    try {
        const std::string bytes = docx::zip(docx::newPackage(documentXml(), "Протокол поверки"));
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            file.close();
            if (!file)
                throw std::runtime_error("cannot write " + temporary.string());
        }
        std::filesystem::rename(temporary, target);
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        std::cerr << "make_protocol_template: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
