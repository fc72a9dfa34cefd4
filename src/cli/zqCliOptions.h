// Option grammar of absorbview-cli: each subcommand declares its options (number with limits, choice
// of texts, flag) and the parser checks the arguments against them, so every subcommand refuses
// unknown options and bad numbers with the same messages and prints its --help from the same table.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zqcli {

// A refusal with the exit code it ends the program with.
class CliError : public std::runtime_error {
public:
  CliError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

private:
  int code_;
};

struct OptionSpec {
  enum Kind { Number, Choice, Text, Flag };
  std::string name; // without the leading "--"
  Kind kind = Number;
  std::string help;
  double min = 0, max = 0;          // Number: accepted closed range
  std::vector<std::string> choices; // Choice: accepted texts (compared without letter case)
  std::string defaultText;          // shown in --help
  bool repeatable = false;
};

struct CommandSpec {
  std::string name;
  std::string summary;
  std::vector<OptionSpec> options;
};

// Parsed arguments of one subcommand: every value given, by option name.
class ParsedOptions {
public:
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The number given (checked against its limits when parsed) or def.
  double Number(const std::string& name, double def) const;
  std::vector<double> Numbers(const std::string& name) const;
  // The text given, or def; for a Choice the accepted spelling.
  std::string Text(const std::string& name, const std::string& def) const;

  std::map<std::string, std::vector<std::string>> values_;
};

// Parses "--name value", "--name=value" and the window's "/ini FILE". Throws CliError (usage) for an
// unknown option, a missing value, a number that is not a finite number or lies outside its limits,
// a text that is not one of the choices, and a repeated option that may be given once.
ParsedOptions ParseOptions(const CommandSpec& spec, const std::vector<std::string>& args);

// The --help text of a subcommand.
std::string HelpText(const CommandSpec& spec);

// Strict number text: optional sign, digits, optional fraction and exponent, "." as separator.
std::optional<double> ParseNumber(const std::string& text);

} // namespace zqcli
