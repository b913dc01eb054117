#include "ui/EditKeys.h"

#include "platform/CodePage.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>

namespace editkeys
{

QChar typedChar(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Delete:
        return QChar();
    default:
        break;
    }
    const QString text = e->text();
    return text.isEmpty() ? QChar() : text.front();
}

bool editsByItself(const QKeyEvent* e)
{
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)
        return false;
    for (QKeySequence::StandardKey k :
         {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
          QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine,
          QKeySequence::DeleteCompleteLine, QKeySequence::Delete, QKeySequence::Backspace})
        if (e->matches(k))
            return true;
    return false;
}

bool cp1251Typing(const QString& text, QChar key, QByteArray* textBytes, char* keyByte)
{
    bool ok = false;
    *textBytes = cp1251::fromUnicode(text, &ok);
    const QByteArray keyBytes = cp1251::fromUnicode(QString(key));
    if (!ok || keyBytes.size() != 1)
        return false;
    *keyByte = keyBytes.at(0);
    return true;
}

void closeSideEntrances(QLineEdit* edit)
{
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setAcceptDrops(false);
}

bool isSideEntrance(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<const QMouseEvent*>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

} // namespace editkeys
