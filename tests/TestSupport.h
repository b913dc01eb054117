#pragma once
// Helpers shared by the tests: waiting for a condition while the event loop runs, and files
// read, written, cut short or refused.

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <chrono>
#include <cstddef>
#include <functional>

class QWidget;

namespace testsupport
{

// Runs the event loop until pred() holds or the deadline passes; returns pred().
bool waitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

// Where a shown window opened at `wanted` stands: moved just into the primary screen's
// available geometry, as the program places its windows.
QPoint placedAt(const QWidget* window, QPoint wanted);

// The whole file, or "<missing>" when it cannot be read.
QByteArray readFileBytes(const QString& path);
bool writeFileBytes(const QString& path, const QByteArray& bytes);

// Runs action with writes limited to limitBytes per file (the limit binds the superuser too,
// unlike file permissions): a write beyond it is cut short.
void withFileSizeLimit(std::size_t limitBytes, const std::function<void()>& action);

// File access checked as an unprivileged user while it lives, so that a read-only folder
// stays read-only for a test run as root.
class UnprivilegedFiles
{
public:
    UnprivilegedFiles();
    ~UnprivilegedFiles();
    UnprivilegedFiles(const UnprivilegedFiles&) = delete;
    UnprivilegedFiles& operator=(const UnprivilegedFiles&) = delete;

private:
    int m_previous;
};

} // namespace testsupport
