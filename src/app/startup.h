#pragma once

#include <QApplication>
#include <QString>

namespace lumora::app {

inline constexpr const char* kApplicationTitle = "Lumora Warp Tool alpha 9";

// Application title and the program-wide look, before any window exists.
void InitialiseApplication(QApplication& application);

// "Lumora Warp Tool V " and the four numbers of the build's version.
QString VersionCaption();

}  // namespace lumora::app
