#include <gtest/gtest.h>
#include <QApplication>

// Under AddressSanitizer, Qt WebEngine 6.4 (Debian's build) frees an object inside its own
// library with a sized delete of another size when a page is destroyed
// (~QWebEnginePagePrivate -> ~WebContentsAdapter -> Chromium). That check alone is turned
// off for the test programs; every other check stays on, and ASAN_OPTIONS may still set it.
extern "C" __attribute__((used, visibility("default"))) const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
}

// Every test program runs inside a QApplication on the offscreen platform, so that
// pictures, fonts and widgets behave as in the program without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
