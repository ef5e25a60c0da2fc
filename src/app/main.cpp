#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/startup.h"
#include "app/tform1.h"
#include "base/version_line.h"
#include "core/session.h"
#include "link/serial_transport.h"

int main(int argc, char* argv[]) {
    // Answered before the window system is reached: works without a display.
    if (lumora::base::AsksForVersion(argc, argv)) {
        std::fputs(lumora::base::VersionLine("lumora-warp").c_str(), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    lumora::app::InitialiseApplication(application);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lumora Warp Tool"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serial port to preselect in COM PORT."),
                                  QStringLiteral("name"));
    parser.addOption(port);
    const QCommandLineOption service(
        QStringLiteral("service"),
        QStringLiteral("Also show the service controls and the four-corner pages."));
    parser.addOption(service);
    parser.process(application);

    try {
        lumora::core::Session session(std::make_unique<lumora::link::SerialTransport>());
        lumora::app::TForm1 form(session, parser.value(port),
                                 parser.isSet(service) ? lumora::app::TForm1::View::kService
                                                       : lumora::app::TForm1::View::kOperator);
        form.show();
        return application.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QString::fromLatin1(lumora::app::kApplicationTitle),
                              QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QString::fromLatin1(lumora::app::kApplicationTitle),
                              QString());
    }
    return 1;
}
