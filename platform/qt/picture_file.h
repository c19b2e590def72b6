// A picture drawn on a canvas and saved as a PNG image, an SVG drawing or a one-page PDF, chosen
// by the file's suffix. The picture is drawn into memory and written whole through the checked
// outputs, so a failure is reported and an existing file stays as it was.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "platform/output.h"

namespace hg {

class Canvas;

enum class PictureForm { Png, Svg, Pdf };

// The form a path's suffix names (.png, .svg, .pdf in any case), or none.
std::optional<PictureForm> pictureFormOf(const std::string& path);

enum class PictureResult { Written, NotDrawn, NotWritten };

// What came of a picture write; `cause` says why it was not written (the system's reason, or
// that a picture of that size and form cannot be made). An SVG drawing names each font with the
// font drawn in its place here and the generic family after it.
struct PictureOutcome {
    PictureResult result = PictureResult::NotWritten;
    std::string cause;
};

// Draws a width x height picture (96 dpi) with `draw` (false: nothing worth saving) and saves it;
// `title` names the PDF and SVG document.
PictureOutcome writePicture(const QString& path, PictureForm form, int width, int height,
                            const QString& title, const std::function<bool(Canvas&)>& draw,
                            OutputLayer& layer = diskOutput());
// The same, a PNG painted in two halves at once (paintInHalves): `draw(canvas, first)` then runs
// on two threads, and what it reports belongs to the call with `first`.
PictureOutcome writePicture(const QString& path, PictureForm form, int width, int height,
                            const QString& title,
                            const std::function<bool(Canvas&, bool first)>& draw,
                            OutputLayer& layer = diskOutput());

}  // namespace hg
