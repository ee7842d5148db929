#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

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

} // namespace

std::optional<int> read(int argc, char** argv, QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Cyfrolia: ćwiczenia z dodawania, odejmowania, mnożenia i dzielenia dla klas I–VI."));
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
    if (!parser.parse(QCoreApplication::arguments()))
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
