// Anchor so that the library exists before its first class does.
namespace quvo { int barcode_module_anchor = 0; }
