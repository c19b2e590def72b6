// HARMDIM: the one body of analysis state every window and the command line share — the file
// description, the analysis period, the per-record tables the graph-mode load fills, the period
// extremes, the ranking tables and the order flags. The application owns one instance and hands it
// by reference; tables are re-dimensioned (zero-filled) by each Execute.
//
// Index names: rec = record slot 0..PeriodRecords; k = order index 0..MaxOrderIndex (0 is the
// fundamental); ch = channel 0..ChannelCount, ch = ChannelCount being the composite of all
// channels; slot = item code - 1 (0..15).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/table.h"
#include "datafile/record_format.h"

namespace hg {

// Item codes of the graph window's item list; graph, print and CSV code use the same codes.
enum ItemCode : int16_t {
    kVoltageDistortion = 1,
    kCurrentDistortion = 2,
    kActivePower = 3,
    kReactivePower = 4,
    kCurrent = 5,
    kPhaseDifference = 6,
    kImpedance = 7,
    kOverload = 8,
    kVoltageSuperposition = 9,
    kCurrentSuperposition = 10,
    kVoltage = 11,
    kPhaseVoltage = 12,
    kPhaseCurrent = 13,
    kPredictedDistortion = 14,
    kPredictedPhaseDifference = 15,
    kPredictedSuperposition = 16,
    kVoltageUnbalance = 22,  // list only: the unbalance view of 12
    kCurrentUnbalance = 23,  // list only: the unbalance view of 13
};
constexpr int kItemSlots = 16;
constexpr int kJisuFlagCount = 260;

struct HARMDIM {
    // File description (scan and Execute).
    std::string FilePath;  // full path of the selected file (the file-selection window's Label1)
    FileKind Kind;         // kind, sizes and layout from the name
    int32_t RecordLength = 0;
    int16_t ShortHnRecord = 0;  // 0 or -1
    int16_t ChannelCount = 0;   // C
    int16_t MaxOrderIndex = 0;  // N: 24 or 255
    double FileStartTime = 0;
    double FileEndTime = 0;
    float RecordInterval = 0;  // average minutes between records, > 0 after a scan
    int64_t FileRecords = 0;   // whole records in the file at the scan

    // Analysis period (period reading and Execute). Minutes and slots are 32-bit here; the
    // graph-mode limit of 32 767 slots is enforced where the tables are dimensioned.
    double AnalysisStart = 0;
    double AnalysisEnd = 0;
    float StartDay = 0;
    float EndDay = 0;
    float StartMinute = 0;
    float EndMinute = 0;
    int32_t PeriodMinutes = 0;
    int32_t PeriodRecords = 0;  // record slots of the period minus one
    int32_t LoadedRecords = 0;  // slots filled by the load
    int64_t FirstRecord = 0;    // file record number of slot 0 (from the load's search)
    // Counts the loads; what is derived from the tables later (the prediction) remembers the
    // load it was computed from.
    uint64_t LoadGeneration = 0;

    // Plot geometry.
    int16_t GraphWidth = 0;
    int16_t GraphHeight = 0;
    float XScale = 0;

    int16_t CsvDialogResult = 0;
    int16_t RedrawFlag = 0;

    // Graph window selection last drawn (printing reads it).
    int16_t CurrentItem = 0;
    int16_t CurrentGroup = 0;
    int16_t CurrentChannel = 0;

    // Order flags shared by the CSV dialog and writers, the graph draw and printing:
    // 0 not selected, 1 selected, 2 not available.
    std::array<int16_t, kJisuFlagCount> JisuFlag{};

    // Per-record tables (graph mode).
    Table<float> RecordX;        // (rec)
    Table<float> VoltageTable;   // (rec, k)
    Table<float> CurrentTable;   // (ch, rec, k)
    Table<float> ActivePower;    // (ch, rec, k) kW
    Table<float> ReactivePower;  // (ch, rec, k) kvar
    Table<int16_t> AngleTable;   // (0..1, rec, k) voltage / current superposition angle
    Table<float> VoltageThd;     // (rec) %
    Table<float> CurrentThd;     // (ch, rec) %
    Table<float> PhaseVoltage;   // (rec, 0..5)
    Table<float> PhaseCurrent;   // (ch, rec, 0..5)
    Table<float> OverloadTable;  // (0..5, rec) %
    Table<float> PredictTable;   // (rec, k)
    Table<float> PredictAngle;   // (0..1, rec, k)
    Table<float> PredictTotal;   // (rec)
    // What the prediction tables hold: the channel (none until the first prediction), the
    // transformer parameters and the load they were computed from.
    struct PredictionKey {
        std::optional<int16_t> channel;
        double capacity = 0;
        double reactance = 0;
        double voltage = 0;
        uint64_t load = 0;
        bool operator==(const PredictionKey&) const = default;
    } Prediction;
    Table<float> ItemMax;        // (ch, slot, k)
    Table<float> ItemMin;        // (ch, slot, k)
    Table<float> RankMagnitude;  // (0..7, k)
    Table<float> OrderRank;      // (0..7, k)

    // Dimensions (zero-fills) the ranking tables: every Execute, both modes.
    void dimRanking();
    // Dimensions (zero-fills) the per-record tables and the extremes for the current
    // PeriodRecords, MaxOrderIndex and ChannelCount: graph mode.
    void dimTables();
    // Bytes the per-record tables and extremes need for the current sizes.
    std::size_t tableBytes() const;
    // Releases the per-record tables (when the last graph window closes).
    void releaseTables();
};

}  // namespace hg
