#include "platform/ShellOpen.h"

#include <QDesktopServices>

namespace
{
ShellOpenSeam* g_activeSeam = nullptr;
}

QUrl shellUrl(const QString& target)
{
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty())
        return url;
    return QUrl::fromUserInput(target);
}

void ShellOpen(const QString& target)
{
    const QUrl url = shellUrl(target);
    if (ShellOpenSeam* seam = ShellOpenSeam::active()) {
        seam->record(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

ShellOpenSeam::ShellOpenSeam() : m_previous(g_activeSeam)
{
    g_activeSeam = this;
}

ShellOpenSeam::~ShellOpenSeam()
{
    // Unlink this seam wherever it stands, so that no seam is left pointing at it.
    if (g_activeSeam == this) {
        g_activeSeam = m_previous;
        return;
    }
    for (ShellOpenSeam* s = g_activeSeam; s; s = s->m_previous)
        if (s->m_previous == this) {
            s->m_previous = m_previous;
            return;
        }
}

ShellOpenSeam* ShellOpenSeam::active()
{
    return g_activeSeam;
}
