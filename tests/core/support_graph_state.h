// A loaded analysis state built directly in memory for graph tests: the period, the sizes and
// zero-filled tables, which each test fills with the values it draws; and what the graph and page
// tests ask of a recorded drawing.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "analysis/harmdim.h"
#include "platform/dates.h"
#include "platform/recording_canvas.h"

namespace hg::test {

struct PeriodSpec {
    int startMinute = 9 * 60;  // minute of the start day
    int minutes = 60;          // length of the period
    int slots = 61;            // record slots (PeriodRecords + 1), all loaded
};

// A state of `orders` odd orders (N 24) or 256 orders (N 255) and `channels` channels, with the
// period given, starting on 2019-05-29, every slot loaded.
inline HARMDIM graphState(const PeriodSpec& p, int maxOrderIndex = 24, int channels = 1,
                          const std::string& path = "/data/sample.hm1") {
    HARMDIM s;
    s.FilePath = path;
    s.ChannelCount = static_cast<int16_t>(channels);
    s.MaxOrderIndex = static_cast<int16_t>(maxOrderIndex);
    const int32_t day = *dayNumber(2019, 5, 29);
    const int endMinute = p.startMinute + p.minutes;
    s.AnalysisStart = dateTime(day, p.startMinute);
    s.AnalysisEnd = dateTime(day + endMinute / 1440, endMinute % 1440);
    s.StartDay = static_cast<float>(day);
    s.EndDay = static_cast<float>(day + endMinute / 1440);
    s.StartMinute = static_cast<float>(p.startMinute);
    s.EndMinute = static_cast<float>(endMinute % 1440);
    s.PeriodMinutes = p.minutes;
    s.PeriodRecords = p.slots - 1;
    s.LoadedRecords = p.slots;
    s.RecordInterval = p.slots > 1 ? static_cast<float>(p.minutes) / (p.slots - 1) : 1;
    s.dimRanking();
    s.dimTables();
    // Records on regular stamps from the start, placed across the page by their minutes.
    for (int t = 0; t < p.slots; ++t) {
        const double m = std::round(t * static_cast<double>(s.RecordInterval));
        s.RecordX(t) = static_cast<float>(2000 * m / std::max(1, p.minutes));
    }
    return s;
}

// Order flags by order index: the orders given 1, the others 0, the indexes past 255 2 (no order).
inline std::vector<int16_t> flags(std::initializer_list<int> checked) {
    std::vector<int16_t> f(kJisuFlagCount, 0);
    for (int k : checked) f[static_cast<std::size_t>(k)] = 1;
    for (int k = 256; k < kJisuFlagCount; ++k) f[static_cast<std::size_t>(k)] = 2;
    return f;
}

// The curve calls: lines and points drawn with the curve pen (width 2).
inline std::vector<DrawCall> curveCalls(const RecordingCanvas& c) {
    return c.select([](const DrawCall& call) {
        return call.width == 2 &&
               (call.kind == DrawCall::Kind::Line || call.kind == DrawCall::Kind::Point);
    });
}

// Expects `text` drawn with its top-left corner at (x, y), in `size` points unless 0.
inline void expectText(const RecordingCanvas& c, const std::string& text, double x, double y,
                       double size = 0) {
    const DrawCall* t = c.findText(text);
    ASSERT_NE(t, nullptr) << "no text \"" << text << "\"\n" << c.dump();
    EXPECT_EQ(t->from, (Point{x, y})) << text;
    if (size > 0) {
        EXPECT_DOUBLE_EQ(t->font.size, size) << text;
    }
}

// Expects no two of the texts kept by `keep` to overlap (boxes sharing more than an edge); blank
// texts cover nothing.
inline void expectNoTextOverlaps(const RecordingCanvas& c,
                                 const std::function<bool(const DrawCall&)>& keep,
                                 const std::string& where) {
    std::vector<DrawCall> texts;
    for (const DrawCall& t : c.texts())
        if (keep(t) && t.text.find_first_not_of(' ') != std::string::npos) texts.push_back(t);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const DrawCall &a = texts[i], &b = texts[j];
            const Point ea = c.textExtent(a), eb = c.textExtent(b);
            constexpr double touch = 1e-3;  // texts placed end to end in single precision
            const bool apart =
                a.from.x + ea.x <= b.from.x + touch || b.from.x + eb.x <= a.from.x + touch ||
                a.from.y + ea.y <= b.from.y + touch || b.from.y + eb.y <= a.from.y + touch;
            EXPECT_TRUE(apart) << where << ": \"" << a.text << "\" at (" << a.from.x << ", "
                               << a.from.y << ") and \"" << b.text << "\" at (" << b.from.x << ", "
                               << b.from.y << ")";
        }
    }
}

}  // namespace hg::test
