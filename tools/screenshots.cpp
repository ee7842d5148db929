// Pictures of every window as the program draws them, for comparing the look at several desktop
// scales side by side:
//   QT_SCALE_FACTOR=2 screenshots <folder> <mask file> <results folder>
// writes <window>[_<state>].png into <folder> at the scale's device pixels.
#include "about/tabout_box.h"
#include "app/application.h"
#include "app/window_set.h"
#include "common/style.h"
#include "exercise/exercise_window.h"
#include "exercise/tform2.h"
#include "exercise/tform3.h"
#include "exercise/tform5.h"
#include "exercise/tform6.h"
#include "results/twyniki.h"
#include "results/tzapisz.h"
#include "shell/tform1.h"
#include "shell/tform7.h"
#include "teacher/teacher_window.h"

#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QDir output;

void save(QWidget* window, const QString& name) {
    window->show();
    QTest::qWaitForWindowExposed(window);
    QCoreApplication::processEvents();
    const QPixmap picture = window->grab();
    picture.save(output.filePath(name + QStringLiteral(".png")));
    std::printf("%s %dx%d\n", qPrintable(name), picture.width(), picture.height());
}

// Runs a series to its summary: every third answer wrong, so the grade is not the best.
void finishSeries(ExerciseWindow* w) {
    w->startClick();
    for (int step = 0; step < 2000 && !w->series().summaryVisible(); ++step) {
        const cyfrolia::Series& s = w->series();
        if (s.armed(s.Timer1)) {
            w->Timer1Timer();
        } else if (s.answerVisible()) {
            w->odp->setText(s.remaining() % 3 ? cyfrolia::expectedText(s.operation(), s.operands())
                                              : QStringLiteral("0"));
            w->odpKeyDown(13, step * 1000);
        } else if (s.armed(s.Timer3)) {
            w->Timer3Timer();
        } else {
            w->Timer4Timer();
        }
    }
    w->Timer4Timer();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: screenshots <folder> <mask file> <results folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    style::installFontSubstitutes();
    output.setPath(QString::fromLocal8Bit(argv[1]));
    // A message box would stop the run: it is printed and closed.
    QTimer dismisser;
    QObject::connect(&dismisser, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            box->done(0);
        }
    });
    dismisser.start(100);
    WindowSet windows;
    form1->setMaskFile(QString::fromLocal8Bit(argv[2]));
    zapisz->setResultsFolder(QString::fromLocal8Bit(argv[3]));
    wyniki->setResultsFolder(QString::fromLocal8Bit(argv[3]));

    save(form1, QStringLiteral("menu"));
    save(form7, QStringLiteral("chooser"));
    form7->hide();
    const struct {
        ExerciseWindow* window;
        const char* name;
    } exercises[] = {
        {form2, "addition"}, {Form5, "subtraction"}, {Form3, "multiplication"}, {Form6, "division"}};
    for (const auto& e : exercises) {
        const QString name = QString::fromLatin1(e.name);
        save(e.window, name + QStringLiteral("_welcome"));
        e.window->startClick();
        e.window->Timer1Timer();
        save(e.window, name + QStringLiteral("_problem"));
        finishSeries(e.window);
        save(e.window, name + QStringLiteral("_summary"));
        e.window->hide();
    }
    save(zapisz, QStringLiteral("save"));
    zapisz->hide();
    save(wyniki, QStringLiteral("viewer"));
    wyniki->hide();
    save(AboutBox, QStringLiteral("about"));
    AboutBox->hide();
    // The teacher's window, with the first pupil of the first class chosen.
    teacher::TeacherWindow teacherWindow(QString::fromLocal8Bit(argv[3]));
    save(&teacherWindow, QStringLiteral("teacher"));
    return 0;
}
