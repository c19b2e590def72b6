// A one-page A4 PDF sheet drawn on a Canvas (the printed sheets' page: 10 mm margins, 600 dots
// per inch, the job's title), drawn into memory and written whole through the checked outputs:
// a failure is reported and an existing file stays as it was. Needs a QGuiApplication.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/output.h"
#include "platform/result.h"

namespace hg {

Status writePdfSheet(const std::string& path, bool landscape, const QString& title,
                     const std::function<void(Canvas&)>& draw, OutputLayer& layer = diskOutput());

// An A4 PDF of `pages` pages on the same page: `draw` is called for each page (1-based) on a
// fresh page.
Status writePdfPages(const std::string& path, bool landscape, const QString& title, int pages,
                     const std::function<void(Canvas&, int)>& draw,
                     OutputLayer& layer = diskOutput());

}  // namespace hg
