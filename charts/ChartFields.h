#pragma once
// The reply columns the chart views read, named once.
namespace ChartField {
// Header and detail (31000/1 sets 0 and 2, 31000/2 set 0).
inline constexpr const char* kName = "name";
inline constexpr const char* kCode = "code";
inline constexpr const char* kMarket = "exchid";
inline constexpr const char* kClass = "classid";
inline constexpr const char* kLast = "zjcj";
inline constexpr const char* kPrevClose = "zrsp";
inline constexpr const char* kOpen = "jrkp";
inline constexpr const char* kHigh = "zgcj";
inline constexpr const char* kLow = "zdcj";
inline constexpr const char* kLastUpdate = "lastupd";
inline constexpr const char* kChange = "zhd";
inline constexpr const char* kChangePercent = "zdf";
inline constexpr const char* kAverage = "cjjj";
inline constexpr const char* kVolume = "cjsl";
inline constexpr const char* kAmount = "cjje";
inline constexpr const char* kVolumeRatio = "lb";
inline constexpr const char* kOrderRatio = "wb";
inline constexpr const char* kTurnover = "hsl";
inline constexpr const char* kPERatio = "syl";
// Intraday points (sets 1 and 3): "tm" first, the prices in columns 1 and 4.
inline constexpr const char* kTime = "tm";
inline constexpr const char* kBarVolume = "avol";
// K-line bars (set 1).
inline constexpr const char* kDate = "da";
inline constexpr const char* kMA5 = "ma5";
inline constexpr const char* kMA10 = "ma10";
inline constexpr const char* kMA30 = "ma30";
}  // namespace ChartField
