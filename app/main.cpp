#include "app/application.h"
#include "app/window_set.h"
#include "common/style.h"
#include "shell/tform1.h"

using namespace style;

int main(int argc, char* argv[]) {
    Application app(argc, argv);
    installFontSubstitutes();
    WindowSet windows;
    form1->show();
    return app.exec();
}
