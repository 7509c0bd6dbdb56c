// The texts that mark the places of a report. A line holds a marker when the
// text occurs anywhere in it, exactly as written here.
#pragma once

#include <string_view>

namespace quarvel {

inline constexpr std::string_view kAccelerationHeader = "C O M P L E X   A C C E L";
inline constexpr std::string_view kStressHeader =
    "C O M P L E X   S T R E S S E S   I N   B A R   E L E M E N T S";

// The solver's closing summary: the main scan stops there.
inline constexpr std::string_view kStopWarnings = "TOTAL WARNINGS";
inline constexpr std::string_view kStopFatalErrors = "TOTAL FATAL ERRORS";

// Lines that end the element pairs of a stress block.
inline constexpr std::string_view kVonMisesMarker = "VON MISES STRESS";
inline constexpr std::string_view kMaximumMarker = "MAXIMUM";

// Every header search stops after this many lines.
inline constexpr int kHeaderSearchLimit = 5'000'000;

}  // namespace quarvel
