#pragma once
// The real modal dialogs in tests: an action that plays the operator once the code under test
// shows a dialog, and what Qt's own file dialog shows.

#include "tests/TestSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <utility>

namespace testsupport
{

// Plays the operator on the modal dialog of type D that the code under test shows next: act
// runs from a timer inside the dialog's own loop. When none has come after a few seconds,
// whatever modal dialog is open is rejected, so that the test goes on and fails instead of
// waiting for a person. Nothing is played once the object is gone.
template <typename D> class WhenShown
{
public:
    explicit WhenShown(std::function<void(D*)> act) : m_act(std::move(act))
    {
        m_clock.start();
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    bool played() const { return m_played; }

private:
    void poll()
    {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            m_timer.stop();
            m_played = true;
            m_act(dialog);
            return;
        }
        if (m_clock.elapsed() < 5000)
            return;
        m_timer.stop();
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            other->reject();
    }

    std::function<void(D*)> m_act;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_played = false;
};

// The texts of buttons, in the order of their text (the platform orders them on screen).
inline QStringList buttonTexts(const QList<QAbstractButton*>& buttons)
{
    QStringList texts;
    for (const QAbstractButton* b : buttons)
        if (b->isVisible())
            texts << b->text();
    texts.sort();
    return texts;
}

inline QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// What Qt's file dialog shows in its own words, and the filters it offers.
struct FileDialogTexts {
    QString title, lookIn, fileName, fileType;
    QStringList buttons; // sorted
    QStringList filters;
};

inline FileDialogTexts textsOf(QFileDialog* dialog)
{
    FileDialogTexts t;
    t.title = dialog->windowTitle();
    t.lookIn = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
    t.fileName = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
    t.fileType = dialog->findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text();
    t.buttons = buttonTexts(dialog->findChild<QDialogButtonBox*>()->buttons());
    t.filters = itemTexts(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")));
    return t;
}

// The button that accepts the file dialog ("Save" or "Open").
inline QAbstractButton* acceptButton(QFileDialog* dialog)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    for (QAbstractButton* b : box->buttons())
        if (box->buttonRole(b) == QDialogButtonBox::AcceptRole)
            return b;
    return nullptr;
}

// Shows folder in the dialog and waits until its entries (count of them) are listed.
inline bool showFolder(QFileDialog* dialog, const QString& folder, int count)
{
    dialog->setDirectory(folder);
    auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("treeView"));
    return waitUntil([&] { return view->model()->rowCount(view->rootIndex()) == count; });
}

} // namespace testsupport
