// A picture drawn on a canvas and saved as a PNG image, an SVG drawing or a one-page PDF, chosen
// by the file's suffix. The file is written beside the target under a temporary name and renamed
// over it once complete, so a failure leaves an existing file as it was.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace hg {

class Canvas;

enum class PictureForm { Png, Svg, Pdf };

// The form a path's suffix names (.png, .svg, .pdf in any case), or none.
std::optional<PictureForm> pictureFormOf(const std::string& path);

enum class PictureResult { Written, NotDrawn, NotWritten };

// Draws a width x height picture (96 dpi) with `draw` (false: nothing worth saving) and saves it;
// `title` names the PDF and SVG document.
PictureResult writePicture(const QString& path, PictureForm form, int width, int height,
                           const QString& title, const std::function<bool(Canvas&)>& draw);

}  // namespace hg
