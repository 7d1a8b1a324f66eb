#pragma once
// The editor's property panel, drawn with ImGui in cursor mode at the upper
// right: the selection's kind, position, turn about y and scale as numbers
// to type; Enter in any field applies them all as one undo step (the checks
// are the form's, in core/editor/PlacementForm).
namespace tovi {
class Editor;
class PlacementForm;

void drawPropertyPanel(PlacementForm& form, Editor& editor);

} // namespace tovi
