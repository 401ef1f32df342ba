#include "ops/tool_output_interpreter.h"

#include "catalog/item_catalog.h"

namespace {
// Only the beginning of a line is ever compared; longer lines are kept up to here.
constexpr size_t kKeptLineStart = 1024;
// Lines of the report kept for telling the cause of a failure.
constexpr size_t kKeptReportLines = 200;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "  42% 3 + name": the percentage at the start of a progress line, or -1.
int PercentOf(std::string_view line) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) return -1;
    const size_t end = line.find_first_not_of("0123456789", start);
    if (end == start || end == std::string_view::npos || line[end] != '%' || end - start > 3) return -1;
    return std::stoi(std::string(line.substr(start, end - start)));
}
}  // namespace

ToolOutputInterpreter::ToolOutputInterpreter(OperationState state, std::string knownPassword,
                                             std::atomic<int32_t>& yesToAll, ToolDialogue dialogue)
    : state_(state), knownPassword_(std::move(knownPassword)), yesToAll_(yesToAll), dialogue_(std::move(dialogue)) {}

void ToolOutputInterpreter::InterpretToolOutput(std::string_view chunk) {
    for (char c : chunk) {
        // A carriage return ends a line as a line feed does; "\r\n" gives one line and an
        // empty one, and empty lines mean nothing.
        if (c == '\n' || c == '\r') {
            completeLine();
            continue;
        }
        if (c == '\0') continue;
        if (line_.size() < kKeptLineStart) line_.push_back(c);
        ++lineLength_;
    }
    // The archiver waits on a prompt without ending its line: look at the unfinished line too.
    if (lineLength_ > 0) answerPrompts();
}

void ToolOutputInterpreter::Finish() {
    if (lineLength_ > 0) completeLine();
    countFinishedFile();
}

void ToolOutputInterpreter::countFinishedFile() {
    if (!fileInProgress_) return;
    fileInProgress_ = false;
    if (dialogue_.countProgress) dialogue_.countProgress();
}

void ToolOutputInterpreter::completeLine() {
    if (lineLength_ == 0) {
        lineAnswered_ = false;
        return;
    }
    if (dialogue_.traceLine) dialogue_.traceLine(line_);
    answerPrompts();
    // The archiver names a file when it starts on it; the file is done once it writes anything
    // further. So 100 % means the work is over, not that the last file has begun.
    countFinishedFile();
    const bool addsFile = StartsWith(line_, "Compressing") || StartsWith(line_, "+ ") || StartsWith(line_, "U ");
    if (state_ == OperationState::Adding && addsFile) fileInProgress_ = true;
    const int percent = PercentOf(line_);
    if (percent >= 0 && dialogue_.reportPercent) dialogue_.reportPercent(percent);
    if (line_ == "Everything is Ok") reportedSuccess_ = true;
    // The last lines are kept: a failure is told at the end.
    if (!addsFile && !StartsWith(line_, "- ") && !StartsWith(line_, "= ") && percent < 0) {
        if (report_.size() == kKeptReportLines) report_.erase(report_.begin());
        report_.push_back(line_);
    }
    // The archiver asks for the password separately to open the archive and to encrypt what
    // it writes; each of these stages gets the known password once.
    if (StartsWith(line_, "Open archive") || StartsWith(line_, "Updating archive") ||
        StartsWith(line_, "Creating archive"))
        passwordTriedInStage_ = false;
    line_.clear();
    lineLength_ = 0;
    lineAnswered_ = false;
}

void ToolOutputInterpreter::answerPrompts() {
    if (lineAnswered_ || declined_) return;
    if (StartsWith(line_, kPasswordPrompt)) {
        lineAnswered_ = true;
        // The password known so far (the catalogue's, or one typed earlier in this run) is
        // tried once per stage; asked again in the same stage, it was not the right one.
        const std::string& known = typedPassword_ ? *typedPassword_ : knownPassword_;
        std::optional<std::string> password;
        if (!passwordTriedInStage_ && !known.empty()) {
            password = known;
        } else {
            password = dialogue_.askPassword ? dialogue_.askPassword(passwordTriedInStage_) : std::nullopt;
            if (!password) {
                declined_ = true;  // the runner closes the archiver's input, which ends it
                return;
            }
            typedPassword_ = password;
        }
        passwordTriedInStage_ = true;
        // The archiver reads the password up to a line end.
        std::string reply = *password;
        reply += '\n';
        if (dialogue_.answer) dialogue_.answer(reply);
        return;
    }
    if (StartsWith(line_, kReplacePrompt)) {
        lineAnswered_ = true;
        if (yesToAll_.load() != 0) {
            if (dialogue_.answer) dialogue_.answer("Y\n");
            return;
        }
        if (dialogue_.confirmReplace && dialogue_.confirmReplace()) {
            yesToAll_ = 1;
            if (dialogue_.answer) dialogue_.answer("Y\n");
        } else {
            // Quit: the archiver stops and leaves the archive as it was.
            declined_ = true;
            if (dialogue_.answer) dialogue_.answer("Q\n");
        }
    }
}
