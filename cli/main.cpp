// orvane-cli: the back end without a window, for scripts and headless use.
#include <QCommandLineParser>
#include <QCoreApplication>

#include "manager/manager.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane command-line radio programming tool"));
    parser.addHelpOption();
    parser.process(app);
    return 0;
}
