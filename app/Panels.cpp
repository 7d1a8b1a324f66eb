#include "app/Panels.h"

#include <algorithm>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <GLFW/glfw3.h>

#include <fstream>

namespace tovi {

namespace {
ImGuiStyle baseStyle() {
    ImGuiStyle style;
    ImGui::StyleColorsDark(&style);
    style.WindowRounding = 10.0f;
    style.FrameRounding = 5.0f;
    style.WindowPadding = ImVec2(16.0f, 12.0f);
    style.ItemSpacing = ImVec2(10.0f, 6.0f);
    style.Colors[ImGuiCol_WindowBg] = ImVec4(0.16f, 0.18f, 0.27f, 0.88f);
    style.Colors[ImGuiCol_Border] = ImVec4(0.93f, 0.82f, 0.55f, 0.80f);
    style.Colors[ImGuiCol_Header] = ImVec4(0.93f, 0.62f, 0.25f, 0.45f);
    style.Colors[ImGuiCol_HeaderHovered] = ImVec4(0.93f, 0.62f, 0.25f, 0.70f);
    style.Colors[ImGuiCol_NavHighlight] = ImVec4(1.0f, 0.80f, 0.35f, 1.0f);
    style.WindowBorderSize = 2.0f;
    return style;
}
} // namespace

Panels::Panels(GLFWwindow* w, const std::string& fontPath) : window(w) {
    IMGUI_CHECKVERSION();
    context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    // Nothing of the panels' layout is kept between runs.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard | ImGuiConfigFlags_NavEnableGamepad;
    bool haveFont = false;
    if (std::ifstream(fontPath).good()) {
        ImFontConfig config;
        config.OversampleH = 2;
        haveFont = io.Fonts->AddFontFromFileTTF(fontPath.c_str(), kFontPixels, &config) != nullptr;
    }
    if (!haveFont) {
        ImFontConfig config;
        config.SizePixels = kFontPixels;
        io.Fonts->AddFontDefault(&config);
    }
    glfwReady = ImGui_ImplGlfw_InitForOpenGL(window, true);
    glReady = ImGui_ImplOpenGL3_Init("#version 330");
}

Panels::~Panels() {
    if (glReady)
        ImGui_ImplOpenGL3_Shutdown();
    if (glfwReady)
        ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext(context);
}

void Panels::beginFrame(int width, int height) {
    // The text a little over 2.5 % of the window's height.
    const float wanted =
        std::clamp(static_cast<float>(std::min(height, width * 3 / 4)) / 34.0f, 10.0f, 48.0f);
    const float newScale = wanted / kFontPixels;
    if (newScale != scale) {
        scale = newScale;
        ImGuiStyle style = baseStyle();
        style.ScaleAllSizes(scale * 1.6f);
        ImGui::GetStyle() = style;
        ImGui::GetIO().FontGlobalScale = scale;
    }
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplGlfw_NewFrame();
    // Enter changes the highlighted item as Space does (ImGui keeps Enter
    // for text input).
    ImGuiIO& io = ImGui::GetIO();
    if ((io.ConfigFlags & ImGuiConfigFlags_NavEnableKeyboard) != 0 &&
        (io.KeysDown[GLFW_KEY_ENTER] || io.KeysDown[GLFW_KEY_KP_ENTER]))
        io.NavInputs[ImGuiNavInput_Activate] = 1.0f;
    ImGui::NewFrame();
}

void Panels::endFrame() {
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

void Panels::keyboardNavigation(bool on) {
    ImGuiIO& io = ImGui::GetIO();
    if (on)
        io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    else
        io.ConfigFlags &= ~ImGuiConfigFlags_NavEnableKeyboard;
}

bool Panels::wantsMouse() const {
    return ImGui::GetIO().WantCaptureMouse;
}

bool Panels::wantsKeyboard() const {
    // The capture ImGui gave at the frame's start, or a field made active
    // during the frame.
    return ImGui::GetIO().WantCaptureKeyboard || ImGui::IsAnyItemActive();
}

} // namespace tovi
