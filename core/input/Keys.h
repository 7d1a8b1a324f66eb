#pragma once
// The game's key codes. The values are the ones GLFW reports, so the window's
// input source passes its key numbers straight through; everything that runs
// without a window (controls, editor, tests) names keys only through these.

namespace tovi::key {

constexpr int Space = 32;
constexpr int Apostrophe = 39;
constexpr int Comma = 44;
constexpr int Minus = 45;
constexpr int Period = 46;
constexpr int Slash = 47;
constexpr int Num0 = 48; // Num0 + n is the digit n on the main keyboard
constexpr int Num1 = 49;
constexpr int Num2 = 50;
constexpr int Num3 = 51;
constexpr int Num4 = 52;
constexpr int Equal = 61; // the plus key of US layouts
constexpr int A = 65;
constexpr int B = 66;
constexpr int C = 67;
constexpr int D = 68;
constexpr int E = 69;
constexpr int F = 70;
constexpr int G = 71;
constexpr int H = 72;
constexpr int I = 73;
constexpr int J = 74;
constexpr int K = 75;
constexpr int L = 76;
constexpr int M = 77;
constexpr int N = 78;
constexpr int O = 79;
constexpr int P = 80;
constexpr int Q = 81;
constexpr int R = 82;
constexpr int S = 83;
constexpr int T = 84;
constexpr int U = 85;
constexpr int V = 86;
constexpr int W = 87;
constexpr int X = 88;
constexpr int Y = 89;
constexpr int Z = 90;
constexpr int Escape = 256;
constexpr int Enter = 257;
constexpr int Tab = 258;
constexpr int Backspace = 259;
constexpr int Insert = 260;
constexpr int Delete = 261;
constexpr int Right = 262;
constexpr int Left = 263;
constexpr int Down = 264;
constexpr int Up = 265;
constexpr int F1 = 290; // F1 + n - 1 is Fn
constexpr int F2 = 291;
constexpr int F3 = 292;
constexpr int F4 = 293;
constexpr int F5 = 294;
constexpr int F6 = 295;
constexpr int F7 = 296;
constexpr int F8 = 297;
constexpr int F9 = 298;
constexpr int F10 = 299;
constexpr int F11 = 300;
constexpr int F12 = 301;
constexpr int Kp0 = 320; // Kp0 + n is keypad n
constexpr int Kp1 = 321;
constexpr int Kp2 = 322;
constexpr int Kp3 = 323;
constexpr int Kp4 = 324;
constexpr int Kp5 = 325;
constexpr int Kp6 = 326;
constexpr int Kp7 = 327;
constexpr int Kp8 = 328;
constexpr int Kp9 = 329;
constexpr int KpSubtract = 333;
constexpr int KpAdd = 334;
constexpr int KpEnter = 335;
constexpr int LeftShift = 340;
constexpr int LeftControl = 341;
constexpr int LeftAlt = 342;
constexpr int RightShift = 344;
constexpr int RightControl = 345;
constexpr int RightAlt = 346;

} // namespace tovi::key
