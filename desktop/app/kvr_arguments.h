// Reading a command's arguments: options ("--name VALUE" or "--name=VALUE", flags "--name"), "--"
// to end the options, and the remaining words as operands. Shared by every command of kvr.
#pragma once

#include <string>
#include <string_view>

#include "app/kvr_commands.h"

namespace kvr::cli {

class ArgumentReader {
  public:
    explicit ArgumentReader(const Arguments& args) : args_(args) {}

    // Moves to the next argument; false after the last.
    bool Next();
    // The current argument is an option (starts with "-", is not "-" alone, comes before "--").
    bool IsOption() const { return isOption_; }
    // The option's name without "=VALUE", or the operand.
    const std::string& Current() const { return current_; }
    // Takes the option's value: the part after "=", else the next argument. False when none.
    bool TakeValue(std::string& value);
    // A flag must not be given a value with "=".
    bool HasInlineValue() const { return hasInline_; }
    // The argument as the user typed it, for messages.
    const std::string& Typed() const { return args_[index_ - 1]; }

  private:
    const Arguments& args_;
    std::size_t index_ = 0;
    bool optionsEnded_ = false;
    bool isOption_ = false;
    bool hasInline_ = false;
    std::string current_;
    std::string inlineValue_;
};

// "NAME: PROBLEM" on standard error, then the command's usage and where its help is (name is
// the command as typed, "kvr run"). Returns 2, the exit status of a wrong command line.
int UsageError(std::string_view name, std::string_view usage, std::string_view problem);

// "NAME: PROBLEM" on standard error. Returns 1, the exit status of a failed command.
int Failure(std::string_view name, std::string_view problem);

}  // namespace kvr::cli
