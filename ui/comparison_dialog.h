// "比較期間": asks for the period to draw over a graph window's — a recording (the window's own by
// default, or another of its kind), its start and end ("yy/mm/dd hh:mm"; empty: the recording's
// first or last record) and how its records meet the graph's (by time of day, or by weekday).
#pragma once

#include <QString>
#include <optional>

#include "analysis/execute.h"
#include "graph/comparison.h"

class QWidget;

namespace hg {

struct ComparedPeriodAsked {
    QString recording;
    PeriodTexts period;
    Alignment alignment = Alignment::Day;
};

// The period asked; none when cancelled. A start or end that is not "yy/mm/dd hh:mm" is told and
// asked again.
std::optional<ComparedPeriodAsked> askComparedPeriod(QWidget* parent, const QString& recording);

// A "yy/mm/dd hh:mm" text as its date and time; empty gives empty texts; none for anything else.
std::optional<std::pair<std::string, std::string>> periodEndOf(const QString& text);

}  // namespace hg
