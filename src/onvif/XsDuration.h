#pragma once

#include <QString>

#include <optional>

// The xs:duration values ONVIF uses for time-outs: hours, minutes and seconds.
namespace XsDuration {

// "PT5S", "PT0.5S", "PT1M30S" in milliseconds (at most a million seconds); none
// when malformed or empty.
std::optional<int> toMs(const QString &text);
QString fromMs(int ms);

} // namespace XsDuration
