#pragma once
// Word documents (.docx, Office Open XML) as the protocols and the saved history use them:
// open one or start a new one, address its tables by number and their cells by row and
// column, set cell texts, add a table with grid lines, then write the document and show it
// with the desktop's default application.
//
// Everything happens in memory until save(): a failure on the way (a missing table, a cell
// out of range) leaves the file on disk as it was, and save() replaces the file in one step
// (a temporary file beside it, then a rename), so the file is never half written.

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

// Every failure of the layer: an unreadable or malformed file, a missing table or cell, a
// text a document cannot hold, a file that cannot be written or a document that cannot be
// shown. It names the file, table or cell in question in English (what()) and in Russian
// (text()), so that the window tells it in its own language; a system's reason that follows
// stays as the system gave it.
class DocumentError : public std::runtime_error
{
public:
    explicit DocumentError(const QString& text); // the same text in both languages
    DocumentError(const QString& english, const QString& russian);
    QString text(bool russian) const;

private:
    QString m_russian;
};

// The document was written to path(), but no application could be started to show it.
class DocumentNotShown : public DocumentError
{
public:
    explicit DocumentNotShown(const QString& path);
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// No document can be written and shown on this desktop (no application opens documents):
// the callers give their own message instead of writing anything. Its text is the cause: the
// program that opens documents is missing.
class DocumentsUnavailable : public DocumentError
{
public:
    DocumentsUnavailable();
};

class WordDocument
{
public:
    // Reads the document at path. Throws DocumentError if the file cannot be read or is
    // not a Word document.
    static WordDocument open(const QString& path);
    // A new document: one empty paragraph on an A4 page, no file yet.
    static WordDocument create();

    WordDocument(WordDocument&&) noexcept;
    WordDocument& operator=(WordDocument&&) noexcept;
    ~WordDocument();

    // The file the document was opened from or last written to; empty for a new one.
    QString path() const;

    // Tables count from 1 in the order of the document, as the word processor counts them:
    // a table nested in a cell is part of its cell, not a table of its own.
    int tableCount() const;
    // Rows of table t, and cells of row r of table t. A cell spanning several columns is one
    // cell, so rows may have different counts; a cell merged into the one above it belongs
    // to the row where the merge starts and is not counted again.
    int rowCount(int table) const;
    int cellCount(int table, int row) const;

    // Cell (row, column) is the column-th cell of the row-th row, both from 1. Throws
    // DocumentError for a table or cell that does not exist.
    //
    // The text of a cell: its paragraphs joined by '\r', a line break as '\n', a tab as '\t'.
    QString cellText(int table, int row, int column) const;
    // Replaces the whole content of the cell with text, keeping the paragraph and character
    // formatting of its first paragraph and run. Blanks are kept as they are; '\r' starts a
    // new paragraph, '\n' a line break, '\t' a tab. Throws DocumentError also for a text
    // with a character that XML cannot hold (other control characters, a lone surrogate).
    void setCellText(int table, int row, int column, const QString& text);

    // Adds at the end of the document a centred paragraph holding paragraphText and after
    // it a table of rows x columns with single grid lines, centred, as wide as the text
    // area, every cell holding one empty centred paragraph. Returns the table's number.
    // A new document's empty paragraph is used for the paragraph. Throws DocumentError for
    // fewer than 1 or more than 32767 rows, or fewer than 1 or more than 63 columns.
    int addTableAfterCentredParagraph(const QString& paragraphText, int rows, int columns);

    // Writes the document to path (or to path() when empty), replacing the file in one step;
    // path() is path afterwards. Throws DocumentError if it cannot be written: the file at
    // path stays as it was.
    void save(const QString& path = QString());
    // save(path), then showDocument. Throws DocumentsUnavailable before writing anything
    // when documentsAvailable() is false.
    void saveAndShow(const QString& path = QString());

private:
    WordDocument();
    struct Impl;
    std::unique_ptr<Impl> m;
};

// Whether documents can be written and shown at all: a GUI application is running and the
// desktop has a program that opens documents (xdg-open on Linux). The equivalent of "the
// word processor cannot be started". A DocumentShowSeam answers instead while it exists.
bool documentsAvailable();

// Opens the document at path with the desktop's default application, without waiting for
// it. Throws DocumentsUnavailable if documentsAvailable() is false and DocumentError if
// the desktop refuses.
void showDocument(const QString& path);

// While a DocumentShowSeam exists, documents are not handed to the desktop: showDocument
// records the path, and documentsAvailable() and the success of showing are the seam's.
// Seams nest: the newest one answers, and the one before takes over when it is destroyed.
class DocumentShowSeam
{
public:
    DocumentShowSeam();
    ~DocumentShowSeam();
    DocumentShowSeam(const DocumentShowSeam&) = delete;
    DocumentShowSeam& operator=(const DocumentShowSeam&) = delete;

    void setAvailable(bool available) { m_available = available; }     // default true
    void setShowSucceeds(bool succeeds) { m_showSucceeds = succeeds; } // default true
    const QStringList& shown() const { return m_shown; }               // every path showDocument got

    // Used by documentsAvailable and showDocument.
    static DocumentShowSeam* active();
    bool available() const { return m_available; }
    bool show(const QString& path);

private:
    DocumentShowSeam* m_previous = nullptr; // the seam this one hides
    bool m_available = true;
    bool m_showSucceeds = true;
    QStringList m_shown;
};
