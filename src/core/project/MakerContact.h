#pragma once

namespace vantor {

// Where users reach the people who make the program.
inline constexpr const char *kMakerName = "Keldrum";
inline constexpr const char *kSupportAddress = "support@keldrum.de";

} // namespace vantor
