// Questions and fields take all input: the innermost one gets every key,
// Escape closes only it, and an answer acts after its question has gone.
#include "core/input/Gamepad.h"
#include "core/input/Keys.h"
#include "core/input/ModalStack.h"
#include "core/input/NameField.h"
#include "tests/core/TestFakes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tovi::testing {
namespace {

using Answer = Question::Answer;

TEST(ModalStack, InnermostTakesInputAndEscapeClosesOnlyIt) {
    ModalStack stack;
    EXPECT_FALSE(stack.keyPressed(key::Escape)); // none open: Escape is the game's
    std::vector<Answer> answers;
    auto ask = [&](const std::string& text) {
        return std::make_unique<Question>(std::vector<std::string>{text, "Y / N / Esc"},
                                          [&](Answer a) { answers.push_back(a); });
    };
    stack.open(ask("outer"));
    Modal* inner = stack.open(ask("inner"));
    EXPECT_TRUE(stack.keyPressed(key::W)); // taken, answers nothing
    EXPECT_TRUE(stack.typed('w'));
    EXPECT_EQ(stack.size(), 2u);
    EXPECT_TRUE(stack.keyPressed(key::Escape));
    EXPECT_FALSE(stack.isOpen(inner));
    ASSERT_EQ(stack.size(), 1u);
    std::vector<std::string> lines;
    stack.innermost()->lines(lines);
    EXPECT_EQ(lines.front(), "outer");
    // Pad: A answers Y, X answers N, B stays.
    stack.open(ask("pad"));
    EXPECT_TRUE(stack.padPressed(GamepadState::X));
    EXPECT_TRUE(stack.padPressed(GamepadState::B));
    EXPECT_TRUE(stack.empty());
    EXPECT_EQ(answers, (std::vector<Answer>{Answer::Stay, Answer::No, Answer::Stay}));
    stack.open(ask("yes"));
    stack.padPressed(GamepadState::A);
    EXPECT_EQ(answers.back(), Answer::Yes);

    // An answer may ask the next question: it opens after the first has gone.
    stack.open(std::make_unique<Question>(std::vector<std::string>{"first"}, [&](Answer a) {
        if (a == Answer::Yes)
            stack.open(ask("second"));
    }));
    stack.keyPressed(key::Y);
    ASSERT_EQ(stack.size(), 1u);
    stack.innermost()->lines(lines);
    EXPECT_EQ(lines.front(), "second");
    // Closing an outer modal closes what was opened inside it.
    Modal* outer = stack.innermost();
    stack.open(ask("inside"));
    stack.close(outer);
    EXPECT_TRUE(stack.empty());
}

TEST(ModalStack, GameSeesNoKeyWhileOpenNorTheKeyThatClosedItUntilLetGo) {
    ModalStack stack;
    ScriptedInput raw;
    ModalGate gate(raw, stack);
    raw.keys = {key::W};
    raw.buttons = {0};
    EXPECT_TRUE(gate.keyPressed(key::W));
    EXPECT_TRUE(gate.mouseButton(0)); // the editor's clicks and the cursor pass
    gate.showCursor(true);
    EXPECT_TRUE(raw.cursorShown);
    stack.open(std::make_unique<NameField>("", nullptr));
    EXPECT_FALSE(gate.keyPressed(key::W)); // typed into the field, never pushes the ball
    EXPECT_FALSE(gate.mouseButton(0));
    raw.buttons.clear();
    stack.typed('a');
    raw.keys = {key::Enter};
    stack.keyPressed(key::Enter); // keeps the name and closes
    EXPECT_TRUE(stack.empty());
    EXPECT_FALSE(gate.keyPressed(key::Enter)); // still held: not a race start
    raw.keys.clear();
    EXPECT_FALSE(gate.keyPressed(key::Enter));
    raw.keys = {key::Enter};
    EXPECT_TRUE(gate.keyPressed(key::Enter)); // the next press is the game's
    // A tap shorter than a frame (down and up between two looks) that closed
    // a field is the field's, whether the game asks for held or went down first.
    stack.open(std::make_unique<NameField>("a", nullptr));
    raw.keys.clear();
    raw.wentDown = {key::Enter};
    stack.keyPressed(key::Enter);
    EXPECT_FALSE(gate.keyPressed(key::Enter));
    EXPECT_FALSE(gate.keyWentDown(key::Enter));
    raw.wentDown.clear();
    EXPECT_FALSE(gate.keyWentDown(key::Enter));
    raw.wentDown = {key::Enter};
    EXPECT_TRUE(gate.keyWentDown(key::Enter));

    // The pad: a button pressed while a question is open answers it, and the
    // game sees it only once it has been let go.
    int answered = 0;
    stack.open(std::make_unique<Question>(std::vector<std::string>{"?"}, [&](Question::Answer a) {
        answered = a == Question::Answer::Yes ? 1 : 2;
    }));
    raw.padConnected = true;
    raw.pad.buttons[GamepadState::A] = true;
    GamepadState state;
    ASSERT_TRUE(gate.gamepad(state));
    EXPECT_FALSE(state.buttons[GamepadState::A]);
    stack.padPressed(GamepadState::A);
    EXPECT_EQ(answered, 1);
    gate.gamepad(state);
    EXPECT_FALSE(state.buttons[GamepadState::A]);
    raw.pad.buttons[GamepadState::A] = false;
    gate.gamepad(state);
    raw.pad.buttons[GamepadState::A] = true;
    gate.gamepad(state);
    EXPECT_TRUE(state.buttons[GamepadState::A]);
}

TEST(NameField, TypesPrintableAsciiUpToTheLimitAndKeepsOnlyAName) {
    ModalStack stack;
    std::vector<std::string> kept;
    auto field = [&](const std::string& start) {
        return stack.open(
            std::make_unique<NameField>(start, [&](const std::string& name) { kept.push_back(name); }));
    };
    auto* name = static_cast<NameField*>(field(""));
    stack.keyPressed(key::Enter); // empty: refused, stays open
    EXPECT_FALSE(name->message().empty());
    for (char c : std::string("  "))
        stack.typed(static_cast<unsigned char>(c));
    stack.keyPressed(key::Enter); // only spaces: refused
    EXPECT_TRUE(stack.isOpen(name));
    stack.keyPressed(key::Backspace);
    stack.keyPressed(key::Backspace);
    stack.keyPressed(key::Backspace); // on an empty name: nothing
    for (char c : std::string("Left and right, 100%!x"))
        stack.typed(static_cast<unsigned char>(c));
    stack.typed(0xe9); // not ASCII
    stack.typed('\t');
    EXPECT_EQ(name->text(), "Left and right, 100%");
    EXPECT_FALSE(name->message().empty());
    stack.keyPressed(key::N); // a key is not a character: N types nothing, answers nothing
    stack.keyPressed(key::Enter);
    EXPECT_EQ(kept, std::vector<std::string>{"Left and right, 100%"});
    EXPECT_TRUE(stack.empty());

    field("Old name");
    stack.typed('x');
    stack.keyPressed(key::Escape); // cancels: nothing kept
    EXPECT_EQ(kept.size(), 1u);
    EXPECT_EQ(static_cast<NameField*>(field(std::string(30, 'a')))->text().size(), kMaxCourseName);

    EXPECT_EQ(courseNameProblem("Hairpins"), "");
    EXPECT_NE(courseNameProblem(""), "");
    EXPECT_NE(courseNameProblem("   "), "");
    EXPECT_NE(courseNameProblem(std::string(21, 'a')), "");
    EXPECT_NE(courseNameProblem("tab\there"), "");
}

} // namespace
} // namespace tovi::testing
