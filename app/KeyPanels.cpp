#include "app/KeyPanels.h"

#include <imgui.h>

namespace tovi {

void drawKeyPanel(const char* id, const char* title, const std::vector<KeyRow>& rows, PanelPlace place) {
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    const float margin = ImGui::GetFontSize() * 0.8f;
    if (place == PanelPlace::Centre)
        ImGui::SetNextWindowPos(ImVec2(viewport->Size.x * 0.5f, viewport->Size.y * 0.5f), ImGuiCond_Always,
                                ImVec2(0.5f, 0.5f));
    else
        ImGui::SetNextWindowPos(ImVec2(viewport->Size.x - margin, viewport->Size.y - margin),
                                ImGuiCond_Always, ImVec2(1.0f, 1.0f));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_AlwaysAutoResize |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                   ImGuiWindowFlags_NoNav | ImGuiWindowFlags_NoInputs;
    if (ImGui::Begin(id, nullptr, flags)) {
        if (title != nullptr && title[0] != '\0') {
            ImGui::TextColored(ImVec4(1.0f, 0.80f, 0.45f, 1.0f), "%s", title);
            ImGui::Separator();
        }
        if (ImGui::BeginTable(id, 2)) {
            for (const KeyRow& row : rows) {
                ImGui::TableNextRow();
                ImGui::TableNextColumn();
                ImGui::TextColored(ImVec4(1.0f, 0.93f, 0.78f, 1.0f), "%s", row.keys.c_str());
                ImGui::TableNextColumn();
                ImGui::TextUnformatted(row.what.c_str());
            }
            ImGui::EndTable();
        }
    }
    ImGui::End();
}

} // namespace tovi
