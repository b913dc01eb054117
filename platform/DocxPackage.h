#pragma once
// The zip package of a .docx file and the parts every document of ours starts from.
// Plain C++ (no Qt): the template generator of the build uses it as well as the document layer.

#include <string>
#include <vector>

namespace docx
{

// WordprocessingML namespaces: the usual (transitional) one and the strict one.
inline constexpr const char* kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr const char* kWordStrictNamespace = "http://purl.oclc.org/ooxml/wordprocessingml/main";

// Page geometry of our documents, in twentieths of a point: A4 portrait, margins of 3 cm on
// the left, 1,5 cm on the right and 2 cm at top and bottom.
inline constexpr int kPageWidth = 11906;
inline constexpr int kPageHeight = 16838;
inline constexpr int kMarginLeft = 1701;
inline constexpr int kMarginRight = 850;
inline constexpr int kMarginTopBottom = 1134;
inline constexpr int kTextWidth = kPageWidth - kMarginLeft - kMarginRight;

struct Part {
    std::string name; // path inside the package, e.g. "word/document.xml"
    std::string data; // the bytes of the part
};
using Package = std::vector<Part>; // in the order of the zip entries

// Reads a zip package from its bytes. Throws std::runtime_error with the reason for
// anything that is not a readable zip archive, or that unpacks to more than 256 MiB.
Package unzip(const std::string& bytes);

// The bytes of a zip archive holding the parts in their order (deflated).
// Throws std::runtime_error if libzip refuses.
std::string zip(const Package& package);

// The part named name, or nullptr.
const Part* findPart(const Package& package, const std::string& name);
Part* findPart(Package& package, const std::string& name);

// A complete package around documentXml (the text of word/document.xml): content types,
// package and document relationships, styles (Times New Roman 12 pt, Russian, a "Table
// Grid" style with single borders, Title and Heading 1), and the core and app properties
// with the given title.
Package newPackage(const std::string& documentXml, const std::string& title);

// The section properties of our pages (A4, margins above), as the XML of a w:sectPr
// element with the prefix w.
std::string sectionPropertiesXml();

} // namespace docx
