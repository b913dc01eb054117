#include "platform/MemoLines.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace
{

QStringList splitLines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

} // namespace

MemoLines::MemoLines(QPlainTextEdit* edit) : QObject(edit), m_edit(edit)
{
    const QString text = edit->toPlainText();
    if (!text.isEmpty())
        m_lines = splitLines(text);
}

QString MemoLines::line(int index) const
{
    return index >= 0 && index < m_lines.size() ? m_lines.at(index) : QString();
}

void MemoLines::insert(int index, const QString& text)
{
    const qsizetype at = std::clamp<qsizetype>(index, 0, m_lines.size());
    const QStringList parts = splitLines(text);
    for (qsizetype i = 0; i < parts.size(); ++i)
        m_lines.insert(at + i, parts.at(i));
    render();
}

void MemoLines::add(const QString& text)
{
    insert(count(), text);
}

void MemoLines::clear()
{
    m_lines.clear();
    render();
}

void MemoLines::setLines(const QStringList& lines)
{
    m_lines.clear();
    for (const QString& l : lines)
        m_lines += splitLines(l);
    render();
}

void MemoLines::render()
{
    m_edit->setPlainText(m_lines.join(QLatin1Char('\n')));
    // The newest lines stand on top, so that is where the view stays.
    m_edit->moveCursor(QTextCursor::Start);
    m_edit->verticalScrollBar()->setValue(0);
}
