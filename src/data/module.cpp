// Anchor so that the library exists before its first class does.
namespace quvo { int data_module_anchor = 0; }
