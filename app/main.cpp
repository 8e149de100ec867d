#include <QCoreApplication>
#include <QSerialPortInfo>
#include <QTextStream>

// Console start-up until the windows exist: names the program and lists the
// serial ports it can see.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VizorevAvuv"));
    QCoreApplication::setOrganizationName(QStringLiteral("VELOR"));

    QTextStream out(stdout);
    out << "VELOR R58 VizorevAvuv " << QStringLiteral(PROJECT_VERSION) << '\n';
    const auto ports = QSerialPortInfo::availablePorts();
    out << "Serial ports: " << ports.size() << '\n';
    for (const QSerialPortInfo& info : ports)
        out << "  " << info.portName() << '\n';
    return 0;
}
