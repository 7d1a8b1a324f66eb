#include "app/PropertyPanel.h"

#include "core/editor/PlacementForm.h"

#include <imgui.h>

namespace tovi {

namespace {
const ImVec4 kHeading(1.0f, 0.80f, 0.45f, 1.0f);
const ImVec4 kQuiet(0.75f, 0.78f, 0.85f, 1.0f);
} // namespace

void drawPropertyPanel(PlacementForm& form, Editor& editor) {
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    const float margin = ImGui::GetFontSize() * 0.6f;
    ImGui::SetNextWindowPos(ImVec2(viewport->Size.x - margin, margin), ImGuiCond_Always, ImVec2(1.0f, 0.0f));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_AlwaysAutoResize |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                   ImGuiWindowFlags_NoNav;
    if (ImGui::Begin("selection", nullptr, flags)) {
        if (!form.follow(editor)) {
            ImGui::TextColored(kQuiet, "nothing selected");
        } else {
            ImGui::TextColored(kHeading, "%s", form.kind().c_str());
            ImGui::Separator();
            bool apply = false;
            ImGui::PushItemWidth(ImGui::GetFontSize() * 5.0f);
            for (int f = 0; f < PlacementForm::FieldCount; ++f) {
                const auto field = static_cast<PlacementForm::Field>(f);
                ImGui::PushID(f);
                auto& text = form.text(field);
                // Enter applies the whole form; Escape takes back this field's typing.
                apply = ImGui::InputText(PlacementForm::label(field), text.data(), text.size(),
                                         ImGuiInputTextFlags_EnterReturnsTrue |
                                             ImGuiInputTextFlags_CharsScientific |
                                             ImGuiInputTextFlags_AutoSelectAll) ||
                        apply;
                if (ImGui::IsItemEdited())
                    form.edited();
                ImGui::PopID();
            }
            ImGui::PopItemWidth();
            if (apply)
                form.apply(editor);
            if (!form.refusal().empty()) {
                // Wrapped to the fields' width: the panel keeps its size.
                ImGui::PushTextWrapPos(ImGui::GetFontSize() * 8.5f);
                ImGui::TextColored(ImVec4(1.0f, 0.45f, 0.40f, 1.0f), "%s", form.refusal().c_str());
                ImGui::PopTextWrapPos();
            } else
                ImGui::TextColored(kQuiet, "Enter applies");
        }
    }
    ImGui::End();
}

} // namespace tovi
