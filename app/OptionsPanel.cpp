#include "app/OptionsPanel.h"

#include "core/input/KeyNames.h"
#include "core/player/OptionsScreen.h"
#include "core/sound/SoundMixer.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>

namespace tovi {

namespace {

const ImVec4 kHeading(1.0f, 0.80f, 0.45f, 1.0f);
const ImVec4 kQuiet(0.75f, 0.78f, 0.85f, 1.0f);

void heading(const char* text) {
    ImGui::Spacing();
    ImGui::TextColored(kHeading, "%s", text);
    ImGui::Separator();
}

// Left / Right on the highlighted item steps value within [min, max].
bool stepped(int& value, int min, int max, int step) {
    if (step == 0 || !ImGui::IsItemFocused())
        return false;
    const int next = std::clamp(value + step, min, max);
    if (next == value)
        return false;
    value = next;
    return true;
}

bool toggle(const char* label, bool& value, int step) {
    bool changed = ImGui::Checkbox(label, &value);
    if (step != 0 && ImGui::IsItemFocused() && value != (step > 0)) {
        value = step > 0;
        changed = true;
    }
    return changed;
}

bool slider(const char* label, int& value, int min, int max, int step, const char* format = "%d") {
    const bool changed = ImGui::SliderInt(label, &value, min, max, format, ImGuiSliderFlags_AlwaysClamp);
    return stepped(value, min, max, step) || changed;
}

// A list of choices shown by name; index is the chosen one.
bool choice(const char* label, int& index, const std::vector<std::string>& names, int step) {
    bool changed = false;
    if (ImGui::BeginCombo(label, names[static_cast<std::size_t>(index)].c_str())) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool chosen = static_cast<int>(i) == index;
            if (ImGui::Selectable(names[i].c_str(), chosen) && !chosen) {
                index = static_cast<int>(i);
                changed = true;
            }
            if (chosen)
                ImGui::SetItemDefaultFocus();
        }
        ImGui::EndCombo();
    }
    return stepped(index, 0, static_cast<int>(names.size()) - 1, step) || changed;
}

std::string sizeName(const std::array<int, 2>& size) {
    return std::to_string(size[0]) + " x " + std::to_string(size[1]);
}

void displaySection(PlayerOptions& o, OptionsView& view, OptionsChanges& changes) {
    heading("Display");
    changes.display |= toggle("Full screen", o.fullScreen, view.step);
    const std::vector<std::array<int, 2>> sizes = offeredWindowSizes(view);
    std::vector<std::string> names;
    int index = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        names.push_back(sizeName(sizes[i]));
        if (sizes[i][0] == view.windowWidth && sizes[i][1] == view.windowHeight)
            index = static_cast<int>(i);
    }
    if (choice("Window size", index, names, view.step)) {
        o.windowWidth = sizes[static_cast<std::size_t>(index)][0];
        o.windowHeight = sizes[static_cast<std::size_t>(index)][1];
        changes.display = true;
    }
    changes.display |= toggle("Vertical sync", o.vsync, view.step);
    std::vector<std::string> caps;
    int cap = 0;
    for (std::size_t i = 0; i < PlayerOptions::kFrameCaps.size(); ++i) {
        const int fps = PlayerOptions::kFrameCaps[i];
        caps.push_back(fps == 0 ? std::string("off") : std::to_string(fps) + " frames a second");
        if (fps == o.frameCap)
            cap = static_cast<int>(i);
    }
    if (choice("Frame-rate cap", cap, caps, view.step)) {
        o.frameCap = PlayerOptions::kFrameCaps[static_cast<std::size_t>(cap)];
        changes.display = true;
    }
}

void soundAndControls(PlayerOptions& o, OptionsView& view, OptionsChanges& changes) {
    heading("Sound");
    changes.sound |= slider("Volume", view.volume, 0, 10, view.step);
    changes.sound |= toggle("Mute", view.muted, view.step);
    heading("Controls");
    changes.controls |= slider("Mouse speed", o.mouseSpeed, 1, PlayerOptions::kMaxMouseSpeed, view.step);
    changes.controls |= toggle("Invert mouse y", o.invertY, view.step);
    changes.controls |=
        slider("Pad dead zone", o.deadZone, 0, PlayerOptions::kMaxDeadZone, view.step, "%d %%");
}

void keySection(OptionsScreen& screen) {
    heading("Keys");
    ImGui::TextColored(kQuiet, "Choose an action, then press its new key. The editor's keys, O, M, - / +,");
    ImGui::TextColored(kQuiet, "Escape and F2-F5, F7-F9, F11 stay as they are.");
    const PlayerOptions& o = screen.options();
    if (!ImGui::BeginTable("keys", 2, ImGuiTableFlags_RowBg))
        return;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const bool waiting = screen.binding() && screen.bindingAction() == action;
        ImGui::TableNextRow();
        ImGui::TableNextColumn();
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(actionLabel(action), waiting, ImGuiSelectableFlags_SpanAllColumns) &&
            !screen.binding())
            screen.beginBinding(action);
        ImGui::PopID();
        ImGui::TableNextColumn();
        if (waiting)
            ImGui::TextColored(kHeading, "press a key ...");
        else
            ImGui::TextUnformatted(keyLabel(o.keys.key(action)).c_str());
    }
    ImGui::EndTable();
}

// The reset button, or its question.
bool resetSection(OptionsScreen& screen) {
    ImGui::Spacing();
    ImGui::Separator();
    if (!screen.confirmingReset()) {
        if (ImGui::Button("Reset all to defaults"))
            screen.askReset();
        return false;
    }
    ImGui::TextColored(kHeading, "%s", screen.message().c_str());
    bool reset = false;
    if (ImGui::Button("Yes, reset")) {
        reset = screen.answerReset(true);
    }
    ImGui::SameLine();
    if (ImGui::Button("No"))
        screen.answerReset(false);
    return reset;
}

} // namespace

std::vector<std::array<int, 2>> offeredWindowSizes(const OptionsView& view) {
    std::vector<std::array<int, 2>> sizes;
    for (const auto& size : PlayerOptions::kWindowSizes) {
        const bool fits =
            view.monitorWidth <= 0 || (size[0] <= view.monitorWidth && size[1] <= view.monitorHeight);
        if (fits)
            sizes.push_back(size);
    }
    const std::array<int, 2> now{view.windowWidth, view.windowHeight};
    if (now[0] > 0 && now[1] > 0 && std::find(sizes.begin(), sizes.end(), now) == sizes.end()) {
        sizes.push_back(now);
        std::sort(sizes.begin(), sizes.end(),
                  [](const auto& a, const auto& b) { return a[0] * a[1] < b[0] * b[1]; });
    }
    return sizes;
}

OptionsChanges drawOptionsPanel(OptionsScreen& screen, OptionsView& view) {
    OptionsChanges changes;
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    const ImVec2 size(std::min(viewport->Size.x * 0.9f, ImGui::GetFontSize() * 34.0f),
                      viewport->Size.y * 0.92f);
    ImGui::SetNextWindowPos(ImVec2(viewport->Size.x * 0.5f, viewport->Size.y * 0.5f), ImGuiCond_Always,
                            ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(size, ImGuiCond_Always);
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoResize |
                                   ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings;
    if (view.justOpened)
        ImGui::SetNextWindowFocus();
    // The last message in the title bar, which never scrolls away.
    const std::string title = screen.message().empty() || screen.confirmingReset()
                                  ? std::string("Options###options")
                                  : "Options: " + screen.message() + "###options";
    if (ImGui::Begin(title.c_str(), nullptr, flags)) {
        if (view.justOpened)
            ImGui::SetKeyboardFocusHere();
        PlayerOptions& o = screen.options();
        // While a key is awaited the values stay as they are.
        const int step = screen.binding() || screen.confirmingReset() ? 0 : view.step;
        OptionsView stepView = view;
        stepView.step = step;
        displaySection(o, stepView, changes);
        soundAndControls(o, stepView, changes);
        view.volume = stepView.volume;
        view.muted = stepView.muted;
        keySection(screen);
        if (resetSection(screen)) {
            changes.display = changes.sound = changes.controls = true;
            view.volume = SoundMixer::kDefaultVolume;
            view.muted = false;
        }
        ImGui::Spacing();
        ImGui::TextColored(kQuiet, "%s",
                           view.padHints
                               ? "D-pad: choose   A: change   B: back"
                               : "Arrows: choose   Enter: change   Left / Right: set   Escape: back");
    }
    ImGui::End();
    return changes;
}

} // namespace tovi
