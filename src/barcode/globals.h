#pragma once
// Program-wide state of the barcode subsystem. Barcode pictures are drawn on
// the GUI thread (the designer's preview, the canvas) and on the export, mail
// and print workers, so each value is atomic.

#include <atomic>

// The designer's "spread value text" box: while true, a value text drawn in
// one piece is spread over the barcode's width; while false it keeps its
// natural spacing. The box sets it, and every barcode drawn afterwards
// follows it until the box changes. It belongs to the designer for the whole
// program: no card object or design file keeps it; the user's settings keep
// it from one run to the next (barcode/SpreadChoice.h).
extern std::atomic<bool> Spread_Barcode_Value_Text;
