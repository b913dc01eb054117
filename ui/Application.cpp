#include "ui/Application.h"

#include "instrument/Mydialogs.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <QWheelEvent>
#include <exception>

namespace
{

QString& catalogueFolderOverride()
{
    static QString dir;
    return dir;
}

// The QtLanguage whose language the message boxes' standard captions speak.
const QtLanguage* g_captionsOwner = nullptr;

} // namespace

VardekoApplication::VardekoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

VardekoApplication* VardekoApplication::instance()
{
    return qobject_cast<VardekoApplication*>(QCoreApplication::instance());
}

void VardekoApplication::showException(const QString& text)
{
    ShowMessageBox(QString(), text, DialogType::Error, mbOK);
}

bool VardekoApplication::notify(QObject* receiver, QEvent* event)
{
    const bool wheel = event->type() == QEvent::Wheel;
    if (wheel)
        ++m_wheelDepth;
    bool result = false;
    try {
        result = QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(QString::fromUtf8(e.what()));
    } catch (...) {
        // An unknown exception carries no text: it is shown with an empty message.
        showException(QString());
    }
    if (wheel && --m_wheelDepth == 0) {
        try {
            emit wheelDelivered(receiver, static_cast<QWheelEvent*>(event));
        } catch (const std::exception& e) {
            showException(QString::fromUtf8(e.what()));
        } catch (...) {
            showException(QString());
        }
    }
    return result;
}

QtLanguage::QtLanguage(QObject* parent) : QObject(parent) {}

QtLanguage::~QtLanguage()
{
    // A window gone leaves no Russian captions behind to whatever comes next.
    if (g_captionsOwner == this) {
        setStandardCaptionsRussian(false);
        g_captionsOwner = nullptr;
    }
}

QString QtLanguage::catalogueFolder()
{
    return catalogueFolderOverride().isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                               : catalogueFolderOverride();
}

void QtLanguage::setCatalogueFolder(const QString& dir)
{
    catalogueFolderOverride() = dir;
}

bool QtLanguage::setRussian(bool russian)
{
    // The program's own captions need no catalogue.
    setStandardCaptionsRussian(russian);
    g_captionsOwner = this;
    if (russian == m_installed)
        return m_installed;
    if (!russian) {
        QCoreApplication::removeTranslator(m_russian);
        m_installed = false;
        return false;
    }
    if (!m_russian) {
        auto* catalogue = new QTranslator(this);
        if (!catalogue->load(QStringLiteral("qtbase_ru"), catalogueFolder())) {
            delete catalogue; // looked for again at the next switch
            return false;
        }
        m_russian = catalogue;
    }
    m_installed = QCoreApplication::installTranslator(m_russian);
    return m_installed;
}
