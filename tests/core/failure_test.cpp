#include "common/failure.h"

#include <gtest/gtest.h>

using namespace cyfrolia;

struct StopCase {
    const char* message;
    const char* shown;
};

class ErrorDialogText : public ::testing::TestWithParam<StopCase> {};

TEST_P(ErrorDialogText, AddsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(errorDialogText(QString::fromUtf8(GetParam().message)), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    LastCharacter, ErrorDialogText,
    ::testing::Values(StopCase{"Bitmap image is not valid", "Bitmap image is not valid."},
                      StopCase{"Error 5", "Error 5."}, StopCase{"Gotowe!", "Gotowe!"},
                      StopCase{"Done.", "Done."}, StopCase{"(see above)", "(see above)"},
                      StopCase{"a, b,", "a, b,"}, StopCase{"path /", "path /."},
                      StopCase{"Zażółć", "Zażółć."}, StopCase{"", ""}));

TEST(FileMessages, NameTheFullPathAndTheReasonWithoutItsOwnStop)
{
    EXPECT_EQ(errorDialogText(cannotOpenFileMessage(QStringLiteral("/p/forma.bmp"),
                                                    QStringLiteral("No such file or directory"))),
              QStringLiteral("Cannot open file \"/p/forma.bmp\". No such file or directory."));
    EXPECT_EQ(errorDialogText(cannotCreateFileMessage(QStringLiteral("/p/wyniki_kl_I.txt"),
                                                      QStringLiteral("Permission denied."))),
              QStringLiteral("Cannot create file \"/p/wyniki_kl_I.txt\". Permission denied."));
}
