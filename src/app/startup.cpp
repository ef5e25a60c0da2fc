#include "app/startup.h"

#include "lumora_version.h"

namespace lumora::app {

void InitialiseApplication(QApplication& application) {
    application.setApplicationName(QStringLiteral("lumora-warp"));
    application.setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    // --version prints "lumora-warp" and this, as the other programs do.
    application.setApplicationVersion(QString::fromLatin1(version::kText));
}

QString VersionCaption() {
    return QStringLiteral("Lumora Warp Tool V %1.%2.%3.%4")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kRelease)
        .arg(version::kBuild);
}

}  // namespace lumora::app
