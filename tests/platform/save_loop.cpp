// The writer that killed_writer_test stops at random points: saves the contents of two
// files into a third in turn, for ever, through the program's one save path.
#include "platform/save_file.h"

#include <QFile>
#include <cstdio>

namespace {

QByteArray Content(const char* path)
{
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("usage: save_loop TARGET FIRST SECOND\n", stderr);
        return 2;
    }
    const QString target = QFile::decodeName(argv[1]);
    const QByteArray contents[2] = {Content(argv[2]), Content(argv[3])};
    // Tells the test that saving starts now.
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (unsigned long n = 0;; ++n) {
        QString error;
        if (!mr640::SaveFileAtomically(target, contents[n % 2], &error)) {
            std::fprintf(stderr, "save %lu failed: %s\n", n, qPrintable(error));
            return 1;
        }
    }
}
