// The forms a command writes its figures in: a text page for the eye, CSV and JSON at full
// precision.
#pragma once

namespace taviro {

enum class OutputFormat { Text, Csv, Json };

}  // namespace taviro
