#pragma once
// Helpers for the profile-window tests: typing key sequences, answering the file dialogs,
// running a command that shows a modal profile window, and writing profile files.

#include "instrument/FileDialogs.h"
#include "tests/TestSupport.h"
#include "verification/FProfileEdit.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/fsuid.h>

namespace profiletest
{

// Types a key sequence into target: plain characters as they are, and
//   < Left, H Home, S Shift+Left, B Backspace, D Delete, E Enter, T Tab, A Ctrl+A, V Ctrl+V.
inline void type(QWidget* target, const std::string& keys)
{
    for (char c : keys) {
        switch (c) {
        case '<':
            QTest::keyClick(target, Qt::Key_Left);
            break;
        case 'H':
            QTest::keyClick(target, Qt::Key_Home);
            break;
        case 'S':
            QTest::keyClick(target, Qt::Key_Left, Qt::ShiftModifier);
            break;
        case 'B':
            QTest::keyClick(target, Qt::Key_Backspace);
            break;
        case 'D':
            QTest::keyClick(target, Qt::Key_Delete);
            break;
        case 'E':
            QTest::keyClick(target, Qt::Key_Return);
            break;
        case 'T':
            QTest::keyClick(target, Qt::Key_Tab);
            break;
        case 'A':
            QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
            break;
        case 'V':
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
            break;
        default:
            QTest::keyClick(target, c);
            break;
        }
    }
}

// Runs command, which shows a modal profile window; inside(form) runs while it is shown and
// is expected to close it. A window still open afterwards is ended, and the test fails.
inline void withModal(const std::function<void()>& command, const std::function<void(TForm3*)>& inside)
{
    bool ran = false;
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [&ran, poll, inside] {
        auto* form = qobject_cast<TForm3*>(QApplication::activeModalWidget());
        if (!form || !form->isVisible())
            return;
        poll->stop();
        ran = true;
        inside(form);
        if (form->isVisible()) {
            ADD_FAILURE() << "the modal profile window was left open";
            form->done(0);
        }
    });
    poll->start();
    command();
    poll->stop();
    delete poll;
    EXPECT_TRUE(ran) << "no modal profile window was shown";
}

// Runs the rest of a test with file access checked as an unprivileged user, so that a
// read-only folder stays read-only for a test run as root.
class UnprivilegedFiles
{
public:
    UnprivilegedFiles() : m_previous(setfsuid(65534)) {}
    ~UnprivilegedFiles() { setfsuid(m_previous); }
    UnprivilegedFiles(const UnprivilegedFiles&) = delete;
    UnprivilegedFiles& operator=(const UnprivilegedFiles&) = delete;

private:
    int m_previous;
};

inline bool writeBytes(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace profiletest
