#include "app/application.h"
#include "app/fonts.h"
#include "app/window_set.h"
#include "shell/tform1.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    installFontSubstitutes();
    WindowSet windows;
    form1->show();
    return app.exec();
}
