#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

#include <algorithm>
#include <cstdio>

namespace command_line {

namespace {

// The program's own options, beside --help and --version; one line each.
void addOptions(QCommandLineParser& parser) {
    parser.addOption({QLatin1String(kTeacher), QStringLiteral("Otwiera okno nauczyciela z wynikami klas.")});
    parser.addOption(
        {QLatin1String(kExportCsv),
         QStringLiteral("Zapisuje oceny wszystkich klas do PLIKU CSV (\"-\": na standardowe wyjście)."),
         QStringLiteral("PLIK")});
    parser.addOption(
        {QLatin1String(kExportXlsx),
         QStringLiteral("Zapisuje oceny wszystkich klas do arkusza kalkulacyjnego (PLIK .xlsx)."),
         QStringLiteral("PLIK")});
}

// The options QGuiApplication, QApplication and Qt's X11 platform take from the command line, and
// how many values follow each. Qt reads them with one dash or two.
struct QtOption {
    const char* name;
    int values;
};
constexpr QtOption kQtOptions[] = {
    {"platform", 1},      {"platformpluginpath", 1},
    {"platformtheme", 1}, {"plugin", 1},
    {"session", 1},       {"smkey", 1},
    {"style", 1},         {"stylesheet", 1},
    {"reverse", 0},       {"qwindowgeometry", 1},
    {"geometry", 1},      {"qwindowtitle", 1},
    {"title", 1},         {"qwindowicon", 1},
    {"icon", 1},          {"display", 1},
    {"name", 1},          {"visual", 1},
    {"nograb", 0},        {"dograb", 0},
    {"sync", 0},          {"testability", 0},
    {"widgetcount", 0},
};
// Given with "=" and the value in one argument.
constexpr const char* kQtJoinedOptions[] = {"style=", "stylesheet=", "qmljsdebugger="};

QString withoutDashes(const QString& argument) {
    if (argument.startsWith(QLatin1String("--")))
        return argument.mid(2);
    return argument.startsWith(QLatin1Char('-')) ? argument.mid(1) : QString();
}

// How many arguments from `at` on are one of Qt's options: 0 when none is.
int qtOptionLength(const QStringList& arguments, qsizetype at) {
    const QString name = withoutDashes(arguments.at(at));
    if (name.isEmpty())
        return 0;
    for (const char* joined : kQtJoinedOptions)
        if (name.startsWith(QLatin1String(joined)))
            return 1;
    for (const QtOption& option : kQtOptions)
        if (name == QLatin1String(option.name))
            // Qt leaves an option whose value is missing where it was; so do we, as a mistake.
            return at + option.values < arguments.size() ? 1 + option.values : 0;
    return 0;
}

QStringList withoutQtOptions(const QStringList& arguments) {
    QStringList own;
    for (qsizetype i = 0; i < arguments.size();) {
        const int length = i == 0 ? 0 : qtOptionLength(arguments, i);
        if (length == 0)
            own << arguments.at(i++);
        else
            i += length;
    }
    return own;
}

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

std::optional<QString> qtOptionValue(int argc, char** argv, const char* name) {
    const QStringList arguments = argumentList(argc, argv);
    std::optional<QString> value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const int length = qtOptionLength(arguments, i);
        if (length == 2 && withoutDashes(arguments.at(i)) == QLatin1String(name))
            value = arguments.at(i + 1);
        i += std::max(length, 1) - 1;
    }
    return value;
}

std::optional<int> read(int argc, char** argv, QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Cyfrolia: ćwiczenia z dodawania, odejmowania, mnożenia i dzielenia dla klas I–VI.\n"
                       "Przyjmuje też opcje programów Qt, np. -platform, -style, -reverse, -session."));
    // Qt's own help and version options describe themselves in English only.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Wypisuje opcje programu i kończy działanie."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Wypisuje nazwę i wersję programu i kończy działanie."));
    parser.addOption(help);
    parser.addOption(version);
    addOptions(parser);

    // The usual start has no arguments and needs nothing more.
    if (argc <= 1) {
        parser.parse({QString::fromLocal8Bit(argv[0])});
        return std::nullopt;
    }

    // A bare core application for the arguments and Qt's texts in Polish, as the windows speak.
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Cyfrolia"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto mistake = [&](const QString& what) {
        err << what << '\n' << QStringLiteral("Opcje programu: cyfrolia --help") << '\n';
        return 2;
    };
    if (!parser.parse(withoutQtOptions(QCoreApplication::arguments())))
        return mistake(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return mistake(
            QStringLiteral("Nieoczekiwany argument: %1").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    return std::nullopt;
}

} // namespace command_line
