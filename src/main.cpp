// KIVO VOVID: builds the application object and runs the event loop.
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "ui/eon/EonAppearance.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(u"Halvern"_s);
    QApplication::setApplicationName(u"KIVO-VOVID"_s);
    QApplication::setApplicationDisplayName(u"KIVO VOVID"_s);
    kivo::applyEonAppearance();

    kivo::TavrenMediaStudioApp studio;
    studio.mainWindow().show();
    return QApplication::exec();
}
