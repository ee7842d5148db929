// Saves one line into a class file of a folder, as a copy of the program with no helper beside it
// does: disks.sh runs it as ordinary users on real file systems.
// Usage: save_line <folder ending in '/'> <class> <line>; prints why a save failed, exit status 1.
#include "common/results_file.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const auto failure = cyfrolia::ResultsFiles(QString::fromLocal8Bit(argv[1]))
                             .save(QString::fromLatin1(argv[2]), QByteArray(argv[3]));
    if (!failure)
        return 0;
    std::printf("%s\n", failure->message().toLocal8Bit().constData());
    return 1;
}
