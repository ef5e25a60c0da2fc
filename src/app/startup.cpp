#include "app/startup.h"

#include "lumora_version.h"

namespace lumora::app {

void InitialiseApplication(QApplication& application) {
    application.setApplicationName(QStringLiteral("lumora-warp"));
    application.setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    application.setApplicationVersion(QStringLiteral("%1.%2.%3.%4")
                                          .arg(version::kMajor)
                                          .arg(version::kMinor)
                                          .arg(version::kRelease)
                                          .arg(version::kBuild));
}

QString VersionCaption() {
    return QStringLiteral("Lumora Warp Tool V %1.%2.%3.%4")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kRelease)
        .arg(version::kBuild);
}

}  // namespace lumora::app
