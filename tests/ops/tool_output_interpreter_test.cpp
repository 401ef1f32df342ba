// The archiver's output read line by line: prompts answered however the output is cut.
#include <gtest/gtest.h>

#include "catalog/item_catalog.h"
#include "ops/tool_output_interpreter.h"

namespace {

struct Recorder {
    std::string written;
    int passwordQuestions = 0;
    int replaceQuestions = 0;
    int progress = 0;
    std::vector<std::optional<std::string>> typedPasswords;  // what the "user" types, in turn
    std::vector<bool> askedAgain;                            // each question said the last one was wrong
    bool replaceAnswer = true;
    std::atomic<int32_t> yesToAll{0};

    ToolOutputInterpreter Make(OperationState state, std::string known = "") {
        ToolDialogue dialogue;
        dialogue.askPassword = [this](bool again) -> std::optional<std::string> {
            askedAgain.push_back(again);
            const size_t index = static_cast<size_t>(passwordQuestions++);
            return index < typedPasswords.size() ? typedPasswords[index] : std::nullopt;
        };
        dialogue.confirmReplace = [this] {
            ++replaceQuestions;
            return replaceAnswer;
        };
        dialogue.answer = [this](std::string_view reply) { written += reply; };
        dialogue.countProgress = [this] { ++progress; };
        return ToolOutputInterpreter(state, std::move(known), yesToAll, std::move(dialogue));
    }
};

// Real output of an encrypted add: the prompt waits without a line end.
const std::string kAddOutput =
    "\r\n7-Zip 26.03 (x86) : Copyright (c) 1999-2026 Igor Pavlov : 2026-09-03\r\n\r\nScanning the drive:\r\n"
    "2 files, 12 bytes (1 KiB)\r\n\r\nCreating archive: t.7z\r\n\r\n\r\nEnter password (will not be echoed):";
const std::string kAddRest = "\r\n+ a.txt\r\n+ b c.txt\r\nCompressing  x\r\n\r\nEverything is Ok\r\n";

}  // namespace

TEST(ToolOutputInterpreter, AnswersAPromptSplitAtEveryPossiblePlace) {
    const std::string all = kAddOutput + kAddRest;
    for (size_t cut = 0; cut <= kAddOutput.size(); ++cut) {
        Recorder recorder;
        ToolOutputInterpreter interpreter = recorder.Make(OperationState::Adding, "s\xc3\xa9");
        interpreter.InterpretToolOutput(std::string_view(all).substr(0, cut));
        interpreter.InterpretToolOutput(std::string_view(all).substr(cut, kAddOutput.size() - cut));
        // The archiver now waits: the answer must be there before any more output comes.
        EXPECT_EQ(recorder.written, "s\xc3\xa9\n") << "cut at " << cut;
        interpreter.InterpretToolOutput(kAddRest);
        interpreter.Finish();
        EXPECT_EQ(recorder.written, "s\xc3\xa9\n") << "answered once, cut at " << cut;
        EXPECT_EQ(recorder.progress, 3);
        EXPECT_EQ(recorder.passwordQuestions, 0);
    }
}

TEST(ToolOutputInterpreter, ByteByByteWithCarriageReturnsOnly) {
    Recorder recorder;
    recorder.typedPasswords = {std::string("typed")};
    ToolOutputInterpreter interpreter = recorder.Make(OperationState::Adding);
    const std::string output = "x\r+ one\r+ two\rCompressing three\rEnter password (will not be echoed):";
    for (char c : output) interpreter.InterpretToolOutput(std::string_view(&c, 1));
    // "Compressing three" is still at work while the prompt waits.
    EXPECT_EQ(recorder.progress, 2);
    EXPECT_EQ(recorder.written, "typed\n");
    ASSERT_TRUE(interpreter.typedPassword().has_value());
    EXPECT_EQ(*interpreter.typedPassword(), "typed");
    interpreter.InterpretToolOutput("\r\n+ last");
    interpreter.Finish();  // a last line without its line end still counts
    EXPECT_EQ(recorder.progress, 4);
}

TEST(ToolOutputInterpreter, KnownPasswordIsTriedOnceThenTheUserIsAsked) {
    Recorder recorder;
    recorder.typedPasswords = {std::string("second"), std::nullopt};
    ToolOutputInterpreter interpreter = recorder.Make(OperationState::Deleting, "known");
    interpreter.InterpretToolOutput(std::string(kPasswordPrompt));
    EXPECT_EQ(recorder.written, "known\n");
    EXPECT_EQ(recorder.passwordQuestions, 0);
    interpreter.InterpretToolOutput("\r\nERROR: Wrong password\r\n" + std::string(kPasswordPrompt));
    EXPECT_EQ(recorder.written, "known\nsecond\n");
    EXPECT_EQ(recorder.passwordQuestions, 1);
    EXPECT_FALSE(interpreter.declined());
    // Cancelled: nothing is written and the run is to end.
    interpreter.InterpretToolOutput("\r\n" + std::string(kPasswordPrompt));
    EXPECT_EQ(recorder.written, "known\nsecond\n");
    EXPECT_TRUE(interpreter.declined());
    // Nothing more is asked once declined.
    interpreter.InterpretToolOutput("\r\n" + std::string(kPasswordPrompt));
    EXPECT_EQ(recorder.passwordQuestions, 2);
    EXPECT_EQ(recorder.askedAgain, (std::vector<bool>{true, true})) << "each followed a wrong password";
}

TEST(ToolOutputInterpreter, EachStageOfARunGetsTheKnownPasswordOnce) {
    // An add to an archive with an encrypted item list: one prompt to open it, one to encrypt.
    Recorder recorder;
    ToolOutputInterpreter interpreter = recorder.Make(OperationState::Adding, "known");
    interpreter.InterpretToolOutput("\r\nOpen archive: h.7z\r\n\r\n" + std::string(kPasswordPrompt));
    interpreter.InterpretToolOutput("\r\n--\r\nPath = h.7z\r\n\r\nUpdating archive: h.7z\r\n\r\n" +
                                    std::string(kPasswordPrompt));
    interpreter.InterpretToolOutput("\r\n+ s1.txt\r\n\r\nEverything is Ok\r\n");
    EXPECT_EQ(recorder.written, "known\nknown\n");
    EXPECT_EQ(recorder.passwordQuestions, 0);
    EXPECT_EQ(recorder.progress, 1);

    // Without a known password the user is asked once, and the typed one serves the next stage.
    Recorder typing;
    typing.typedPasswords = {std::string("typed")};
    ToolOutputInterpreter other = typing.Make(OperationState::Adding);
    other.InterpretToolOutput("Open archive: h.7z\r\n" + std::string(kPasswordPrompt));
    other.InterpretToolOutput("\r\nUpdating archive: h.7z\r\n" + std::string(kPasswordPrompt) + "\r\n");
    EXPECT_EQ(typing.written, "typed\ntyped\n");
    EXPECT_EQ(typing.passwordQuestions, 1);
    EXPECT_EQ(typing.askedAgain, std::vector<bool>{false});
}

TEST(ToolOutputInterpreter, ReplaceQuestionAskedOnceThenYesToAllDeclineQuits) {
    Recorder recorder;
    ToolOutputInterpreter interpreter = recorder.Make(OperationState::Adding);
    const std::string prompt = "Would you like to replace the existing file:\r\n" + std::string(kReplacePrompt) + " ";
    interpreter.InterpretToolOutput(prompt.substr(0, prompt.size() - 20));
    EXPECT_EQ(recorder.written, "");
    interpreter.InterpretToolOutput(prompt.substr(prompt.size() - 20));
    EXPECT_EQ(recorder.written, "Y\n");
    EXPECT_EQ(recorder.yesToAll.load(), 1);
    interpreter.InterpretToolOutput("\r\n" + prompt);
    EXPECT_EQ(recorder.written, "Y\nY\n");
    EXPECT_EQ(recorder.replaceQuestions, 1);

    Recorder declining;
    declining.replaceAnswer = false;
    ToolOutputInterpreter other = declining.Make(OperationState::Adding);
    other.InterpretToolOutput(prompt);
    EXPECT_EQ(declining.written, "Q\n");
    EXPECT_TRUE(other.declined());
    EXPECT_EQ(declining.yesToAll.load(), 0);
}

TEST(ToolOutputInterpreter, AFileCountsOnceTheArchiverHasMovedPastIt) {
    Recorder recorder;
    ToolOutputInterpreter interpreter = recorder.Make(OperationState::Adding);
    interpreter.InterpretToolOutput("Add new data to archive: 2 files\r\n\r\n+ big.bin\r\n");
    EXPECT_EQ(recorder.progress, 0) << "the archiver has only begun on the file";
    interpreter.InterpretToolOutput("+ small.txt\r\n");
    EXPECT_EQ(recorder.progress, 1);
    interpreter.InterpretToolOutput("\r\n");
    EXPECT_EQ(recorder.progress, 1) << "empty lines say nothing";
    interpreter.InterpretToolOutput("Files read from disk: 2\r\n");
    EXPECT_EQ(recorder.progress, 2);
    interpreter.Finish();
    EXPECT_EQ(recorder.progress, 2);
}

TEST(ToolOutputInterpreter, ProgressOnlyWhileAddingAndOnlyAtLineStarts) {
    Recorder deleting;
    ToolOutputInterpreter whileDeleting = deleting.Make(OperationState::Deleting);
    whileDeleting.InterpretToolOutput("Compressing a\n+ b\nU c\n");
    EXPECT_EQ(deleting.progress, 0);

    Recorder adding;
    ToolOutputInterpreter whileAdding = adding.Make(OperationState::Adding);
    whileAdding.InterpretToolOutput("Compressing a\n+ b\nU c\nx + d\n+e\n  Compressing\n" + std::string(5000, 'z') + "\n");
    EXPECT_EQ(adding.progress, 3);
    // A very long line does not disturb what follows.
    whileAdding.InterpretToolOutput("+ after\n");
    whileAdding.Finish();
    EXPECT_EQ(adding.progress, 4);
}
