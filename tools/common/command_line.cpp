#include "command_line.h"

#include <charconv>
#include <cmath>

namespace tools {

CommandLine::CommandLine(std::string program, std::string synopsis, std::string summary)
    : program_(std::move(program)), synopsis_(std::move(synopsis)), summary_(std::move(summary)) {}

void CommandLine::Add(std::string name, std::string placeholder, std::string help, Taker take, bool required) {
    options_.push_back({std::move(name), std::move(placeholder), std::move(help), std::move(take), required, false});
}

void CommandLine::Operands(std::string placeholder, std::string help, Taker take, std::size_t least, std::size_t most) {
    operandPlaceholder_ = std::move(placeholder);
    operandHelp_ = std::move(help);
    takeOperand_ = std::move(take);
    leastOperands_ = least;
    mostOperands_ = most;
}

CommandLine::Entry* CommandLine::Find(const std::string& name) {
    for (Entry& entry : options_)
        if (entry.name == name) return &entry;
    return nullptr;
}

int CommandLine::Refuse(std::FILE* err, const std::string& message) const {
    std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", program_.c_str(), message.c_str(),
                 program_.c_str());
    return 2;
}

std::string CommandLine::Help() const {
    std::string text = "Usage: " + program_ + " " + synopsis_ + "\n" + summary_ + "\n\n";
    if (!operandPlaceholder_.empty()) text += "  " + operandPlaceholder_ + "\n      " + operandHelp_ + "\n";
    for (const Entry& entry : options_)
        text += "  --" + entry.name + " " + entry.placeholder + "\n      " + entry.help + "\n";
    text += "  --help\n      print this help and exit\n  --version\n      print the version and exit\n";
    return text;
}

std::optional<int> CommandLine::Parse(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    // Messages use the name the tool was started under: an installed tool is quenolde-capture.
    if (argc > 0 && argv[0] != nullptr && argv[0][0] != '\0') {
        const std::string started = argv[0];
        program_ = started.substr(started.rfind('/') + 1);
    }
    for (Entry& entry : options_) entry.seen = false;
    std::size_t operands = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool looksLikeOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!looksLikeOption) {
            if (operands == mostOperands_) return Refuse(err, "unexpected argument '" + argument + "'");
            ++operands;
            const std::string why = takeOperand_(argument);
            if (!why.empty()) return Refuse(err, operandPlaceholder_ + ": " + why);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(Help().c_str(), out);
            return 0;
        }
        if (argument == "--version") {
            std::fprintf(out, "%s (Quenolde) %s\n", program_.c_str(), Version());
            return 0;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        Entry* entry = name.rfind("--", 0) == 0 ? Find(name.substr(2)) : nullptr;
        if (entry == nullptr) return Refuse(err, "unknown option '" + name + "'");
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return Refuse(err, name + " needs a value (" + entry->placeholder + ")");
        }
        const std::string why = entry->take(value);
        if (!why.empty()) return Refuse(err, name + ": " + why);
        entry->seen = true;
    }
    for (const Entry& entry : options_)
        if (entry.required && !entry.seen)
            return Refuse(err, "--" + entry.name + " " + entry.placeholder + " is required");
    if (operands < leastOperands_) return Refuse(err, operandPlaceholder_ + " is missing");
    return std::nullopt;
}

namespace {

template <class T>
Taker WholeNumberOf(T* target, T least, T most, std::string what) {
    return [=](const std::string& value) -> std::string {
        T number{};
        const char* end = value.data() + value.size();
        const auto [stop, status] = std::from_chars(value.data(), end, number);
        if (value.empty() || status != std::errc() || stop != end || number < least || number > most)
            return "'" + value + "' is not " + what + " from " + std::to_string(least) + " to " + std::to_string(most);
        *target = number;
        return {};
    };
}

}  // namespace

Taker WholeNumber(std::uint64_t* target, std::uint64_t least, std::uint64_t most, std::string what) {
    return WholeNumberOf(target, least, most, std::move(what));
}

Taker WholeNumber(std::uint32_t* target, std::uint32_t least, std::uint32_t most, std::string what) {
    return WholeNumberOf(target, least, most, std::move(what));
}

Taker Numbers(float* target, int count, std::string what) {
    return [=](const std::string& value) -> std::string {
        std::vector<float> numbers;
        const char* at = value.data();
        const char* end = value.data() + value.size();
        bool whole = false;  // the text so far ends with a number, not a comma
        for (;;) {
            float number = 0;
            const auto [stop, status] = std::from_chars(at, end, number);
            if (status != std::errc() || stop == at || !std::isfinite(number)) break;
            numbers.push_back(number);
            at = stop;
            whole = true;
            if (at == end || *at != ',') break;
            ++at;
            whole = false;
        }
        if (!whole || at != end || static_cast<int>(numbers.size()) != count) return "'" + value + "' is not " + what;
        for (int i = 0; i < count; ++i) target[i] = numbers[static_cast<std::size_t>(i)];
        return {};
    };
}

Taker OneOf(std::string* target, std::vector<std::string> choices) {
    return [=](const std::string& value) -> std::string {
        std::string list;
        for (const std::string& choice : choices) {
            if (choice == value) {
                *target = value;
                return {};
            }
            list += (list.empty() ? "" : ", ") + choice;
        }
        return "'" + value + "' is not one of " + list;
    };
}

Taker Text(std::string* target) {
    return [=](const std::string& value) -> std::string {
        if (value.empty()) return "the value is empty";
        *target = value;
        return {};
    };
}

const char* Version() { return QUENOLDE_VERSION; }

}  // namespace tools
