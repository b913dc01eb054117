#pragma once
// Line access to a multi-line text box, the way the event log `Info` is written: lines are
// inserted at an index so that the newest group stands on top. Every change of the box's
// text goes through this object, which keeps the lines and redraws the box from them.

#include <QObject>
#include <QString>
#include <QStringList>

class QPlainTextEdit;

class MemoLines : public QObject
{
    Q_OBJECT
public:
    // Parented to edit; starts from the edit's current text (an empty text is no line).
    explicit MemoLines(QPlainTextEdit* edit);

    int count() const { return static_cast<int>(m_lines.size()); }
    QString line(int index) const; // empty text out of range
    QStringList lines() const { return m_lines; }

    // index < 0 inserts at 0, index > count appends. A text with line breaks becomes
    // several lines, as it would in the text box, so indexes stay those of the view.
    void insert(int index, const QString& text);
    void add(const QString& text);
    void clear();
    void setLines(const QStringList& lines);

private:
    void render();

    QPlainTextEdit* m_edit;
    QStringList m_lines; // the truth: an empty line is a real line
};
