// A one-page PDF sheet drawn on a Canvas: written beside the target through QSaveFile and renamed
// over it only when complete, so an existing file is left as it was on any failure. Needs a
// QGuiApplication.
#pragma once

#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/result.h"

namespace hg {

// An A4 page with 10 mm margins at 600 dots per inch.
Status writePdfSheet(const std::string& path, bool landscape,
                     const std::function<void(Canvas&)>& draw);

}  // namespace hg
