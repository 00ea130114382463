#pragma once
// The tools' command lines, read the GNU way: long options as "--name VALUE" or "--name=VALUE",
// operands, "--" to end the options, --help (standard output, exit code 0) and --version. A mistake
// is said on standard error in one line that names the option and the value refused, and ends the
// tool with exit code 2 before it does anything.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tools {

// Takes an option's value into the tool's settings. Returns why the value is refused, or the empty
// string when it was taken.
using Taker = std::function<std::string(const std::string& value)>;

class CommandLine {
public:
    // `program` is the name the messages use until Parse takes the one the tool was started under;
    // `synopsis` follows it on the usage line; `summary` is the paragraph under it in the help.
    CommandLine(std::string program, std::string synopsis, std::string summary);

    // An option with a value; `placeholder` names the value ("N", "X,Y,Z") and `help` says what it
    // is, with its unit and default.
    void Add(std::string name, std::string placeholder, std::string help, Taker take, bool required = false);
    // The words that are not options, each given to `take` in turn; at most `most` of them.
    void Operands(std::string placeholder, std::string help, Taker take, std::size_t least, std::size_t most);

    // Reads the arguments. Nothing when the tool should go on; otherwise the exit code it should end
    // with: 0 after --help or --version (printed on `out`), 2 after a mistake (said on `err`).
    std::optional<int> Parse(int argc, const char* const* argv, std::FILE* out = stdout, std::FILE* err = stderr);

    std::string Help() const;

private:
    struct Entry {
        std::string name, placeholder, help;
        Taker take;
        bool required;
        bool seen;
    };
    Entry* Find(const std::string& name);
    int Refuse(std::FILE* err, const std::string& message) const;

    std::string program_, synopsis_, summary_;
    std::vector<Entry> options_;
    std::string operandPlaceholder_, operandHelp_;
    Taker takeOperand_;
    std::size_t leastOperands_ = 0, mostOperands_ = 0;
};

// Takers for the common kinds of value. `what` completes "'VALUE' is not ..." in the message, with
// the unit: "a whole number of milliseconds".

// A decimal integer from `least` to `most`, nothing but digits.
Taker WholeNumber(std::uint64_t* target, std::uint64_t least, std::uint64_t most, std::string what);
Taker WholeNumber(std::uint32_t* target, std::uint32_t least, std::uint32_t most, std::string what);
// `count` finite decimal numbers separated by commas, no blanks.
Taker Numbers(float* target, int count, std::string what);
// One of the words in `choices`.
Taker OneOf(std::string* target, std::vector<std::string> choices);
// Any text but the empty one.
Taker Text(std::string* target);

// The version the tools print, the same as the project's.
const char* Version();

}  // namespace tools
