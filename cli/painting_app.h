// The Qt application the drawing sub-commands need for fonts, pictures and PDF output: on the
// offscreen platform unless one is set, with the Japanese font substitutions of the windows, and
// only Qt's own failures on stderr (its notes, such as a missing runtime folder, would read as
// the command's own).
#pragma once

#include <QGuiApplication>
#include <memory>

namespace hg::cli {

// The application, or null when one runs already; keep it alive while drawing.
std::unique_ptr<QGuiApplication> paintingApplication();

}  // namespace hg::cli
