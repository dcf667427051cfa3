// A Qt warning fails the test that gave it, unless the test declared it.
#include "platform/testing/qt_warnings.h"

#include <QtGlobal>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(QtWarnings, AWarningNobodyExpectedFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(qWarning("a warning nobody expected"),
                            "Qt warned: a warning nobody expected");
    EXPECT_NONFATAL_FAILURE(qCritical("a critical message"), "Qt warned: a critical message");
}

TEST(QtWarnings, ADeclaredWarningPassesAndOneThatNeverCameFails) {
    {
        plat::testing::ExpectQtWarning expected("null pixmap");
        qWarning("QPixmap::scaleWidth: Pixmap is a null pixmap");
        qWarning("QPixmap::scaleHeight: Pixmap is a null pixmap");
    }
    EXPECT_NONFATAL_FAILURE(plat::testing::ExpectQtWarning("never given"),
                            "Qt gave no warning with \"never given\"");
    // Once the declaration has gone, the warning fails again.
    EXPECT_NONFATAL_FAILURE(qWarning("QPixmap::scaleWidth: Pixmap is a null pixmap"), "Qt warned");
}

} // namespace
