// Placeholder so the widget library has a source until the editor arrives.
namespace tromel { int uiPlaceholder = 0; }
