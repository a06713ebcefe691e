#pragma once

// The image formats of the export commands.
enum class ChartFormat { Bmp, Jpeg };
