#include "common/failure.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace cyfrolia;

struct StopCase {
    const char* name;
    const char* message;
    const char* shown;
};

class ErrorDialogText : public ::testing::TestWithParam<StopCase> {};

TEST_P(ErrorDialogText, AddsAFullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(errorDialogText(QString::fromUtf8(GetParam().message)), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    LastCharacter, ErrorDialogText,
    ::testing::Values(StopCase{"Letter", "Bitmap image is not valid", "Bitmap image is not valid."},
                      StopCase{"Digit", "Error 5", "Error 5."}, StopCase{"Bang", "Gotowe!", "Gotowe!"},
                      StopCase{"Stop", "Done.", "Done."}, StopCase{"Bracket", "(see above)", "(see above)"},
                      StopCase{"Comma", "a, b,", "a, b,"}, StopCase{"Slash", "path /", "path /."},
                      StopCase{"PolishLetter", "Zażółć", "Zażółć."}, StopCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileMessages, NameTheFullPathAndTheReasonWithoutItsOwnStop) {
    EXPECT_EQ(errorDialogText(cannotOpenFileMessage(QStringLiteral("/p/forma.bmp"),
                                                    QStringLiteral("No such file or directory"))),
              QStringLiteral("Cannot open file \"/p/forma.bmp\". No such file or directory."));
    EXPECT_EQ(errorDialogText(cannotCreateFileMessage(QStringLiteral("/p/wyniki_kl_I.txt"),
                                                      QStringLiteral("Permission denied."))),
              QStringLiteral("Cannot create file \"/p/wyniki_kl_I.txt\". Permission denied."));
}

// The reason is the system's own text, whatever Qt calls the failure.
TEST(FileMessages, GiveTheSystemsReason) {
    const QString folder = QDir::tempPath();
    struct Case {
        QString path;
        int error;
    } const cases[] = {{folder, EISDIR}, {folder + QStringLiteral("/cyfrolia-no-such-file"), ENOENT}};
    for (const Case& c : cases) {
        QFile file(c.path);
        errno = 0;
        ASSERT_FALSE(file.open(QIODevice::ReadOnly)) << c.path.toStdString();
        EXPECT_EQ(systemReason(file, errno), QString::fromLocal8Bit(std::strerror(c.error)))
            << c.path.toStdString();
    }
}
