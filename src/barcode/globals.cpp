#include "barcode/globals.h"

std::atomic<bool> Spread_Barcode_Value_Text{true};
