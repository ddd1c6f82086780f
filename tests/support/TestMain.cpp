// Shared GoogleTest entry point: every test binary gets a QApplication so that
// engines, timers, coroutines and (offscreen) widgets all work.
#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    // Listing tests must work without a display server or platform plugin.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with("--gtest_list_tests")) {
            return RUN_ALL_TESTS();
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setApplicationName(QStringLiteral("KIVO-VOVID-tests"));
    return RUN_ALL_TESTS();
}
