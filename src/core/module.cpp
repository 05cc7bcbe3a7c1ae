// Anchor so that the library exists before its first class does.
namespace quvo { int core_module_anchor = 0; }
