// KIVO VOVID: builds the application object and runs the event loop.
#include "app/AppIdentity.h"
#include "app/MainWindow.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/TavrenMediaStudioApp.h"
#include "model/Logging.h"
#include "platform/FreedMemory.h"
#include "platform/PortalReduceMotionSource.h"
#include "ui/eon/EonAppearance.h"

#include <QApplication>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    kivo::returnLargeBlocksWhenFreed();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(u"Halvern"_s);
    QApplication::setApplicationName(u"KIVO-VOVID"_s);
    QApplication::setApplicationDisplayName(u"KIVO VOVID"_s);
    // So that the desktop matches the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(kivo::appId());
    QApplication::setWindowIcon(kivo::appIcon());
    // First, so that a signal during start-up also ends through the quit path.
    kivo::ShutdownSignals shutdownSignals;
    // Before any store is opened: a second start only brings the first forward.
    kivo::SingleInstance instance;
    if (instance.claim() == kivo::SingleInstance::Claim::heldByAnother) {
        return EXIT_SUCCESS;
    }
    kivo::applyEonAppearance();

    kivo::DIContainerOptions options;
    options.reduceMotion = std::make_shared<kivo::PortalReduceMotionSource>();
    kivo::TavrenMediaStudioApp studio(std::move(options));
    QObject::connect(&instance, &kivo::SingleInstance::activationRequested, &studio.mainWindow(),
        &kivo::MainWindow::bringToFront);
    QObject::connect(&shutdownSignals, &kivo::ShutdownSignals::received, &studio.mainWindow(),
        [&studio](int signalNumber) {
            qCDebug(kivo::logging::app) << "Ending on signal" << signalNumber;
            studio.quit();
        });
    // Until then a quit keeps the saved session as it is (nothing is back to
    // save yet); said in the log so that whoever ends the program can tell.
    QObject::connect(&studio.container(), &kivo::DIContainer::bootstrapFinished,
        &studio.mainWindow(), [] { qCDebug(kivo::logging::app) << "Start-up finished"; });
    studio.mainWindow().show();
    return QApplication::exec();
}
