#pragma once
// Hands a link target to the desktop's default handler: a web address to the browser, a
// mailto link to the mail program. Tests put a ShellOpenSeam in front of the desktop.

#include <QString>
#include <QUrl>
#include <vector>

// The URL a target stands for: a bare host name ("www.example.org") is a web address, so it
// gets the http scheme; a target with a scheme ("mailto:...") is taken as it is.
QUrl shellUrl(const QString& target);

// Opens the target. Whether a handler took it is not reported: the caller goes on either way.
void ShellOpen(const QString& target);

// While a ShellOpenSeam exists, targets go to it instead of the desktop. Seams nest: the
// newest one records, and the one before it takes over again when it is destroyed.
class ShellOpenSeam
{
public:
    ShellOpenSeam();
    ~ShellOpenSeam();
    ShellOpenSeam(const ShellOpenSeam&) = delete;
    ShellOpenSeam& operator=(const ShellOpenSeam&) = delete;

    const std::vector<QUrl>& opened() const { return m_opened; }
    void clear() { m_opened.clear(); }

    static ShellOpenSeam* active();
    void record(const QUrl& url) { m_opened.push_back(url); }

private:
    ShellOpenSeam* m_previous = nullptr;
    std::vector<QUrl> m_opened;
};
