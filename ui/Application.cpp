#include "ui/Application.h"

#include "instrument/Mydialogs.h"

#include <QWheelEvent>
#include <exception>

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
