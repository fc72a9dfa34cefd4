#include "zqCliOptions.h"

#include "zqCli.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace zqcli {
namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

std::string number_text(double v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

const OptionSpec* find_option(const CommandSpec& spec, const std::string& name) {
  for (const OptionSpec& o : spec.options)
    if (o.name == name) return &o;
  return nullptr;
}

} // namespace

std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') {
    ++first;
    if (first == last || *first == '-') return std::nullopt;
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

double ParsedOptions::Number(const std::string& name, double def) const {
  auto it = values_.find(name);
  if (it == values_.end()) return def;
  return *ParseNumber(it->second.back());
}

std::vector<double> ParsedOptions::Numbers(const std::string& name) const {
  std::vector<double> result;
  auto it = values_.find(name);
  if (it != values_.end())
    for (const std::string& t : it->second)
      result.push_back(*ParseNumber(t));
  return result;
}

std::string ParsedOptions::Text(const std::string& name, const std::string& def) const {
  auto it = values_.find(name);
  return it == values_.end() ? def : it->second.back();
}

ParsedOptions ParseOptions(const CommandSpec& spec, const std::vector<std::string>& args) {
  ParsedOptions parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::string name;
    std::optional<std::string> value;
    if (lower(arg) == "/ini") {
      name = "ini";
    } else if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
      name = arg.substr(2);
      if (auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
    } else {
      throw CliError(zqCliUsage, "unexpected argument \"" + arg + "\" for " + spec.name + " (see " +
                                     spec.name + " --help)");
    }
    const OptionSpec* option = find_option(spec, name);
    if (!option)
      throw CliError(zqCliUsage,
                     "unknown option --" + name + " for " + spec.name + " (see " + spec.name + " --help)");
    if (option->kind == OptionSpec::Flag) {
      if (value) throw CliError(zqCliUsage, "option --" + name + " takes no value");
      parsed.values_[name].push_back("1");
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) throw CliError(zqCliUsage, "option --" + name + " needs a value");
      value = args[++i];
    }
    if (!option->repeatable && parsed.Has(name))
      throw CliError(zqCliUsage, "option --" + name + " is given more than once");
    std::string text = *value;
    if (option->kind == OptionSpec::Number) {
      auto number = ParseNumber(text);
      if (!number) throw CliError(zqCliUsage, "--" + name + ": \"" + text + "\" is not a number");
      if (*number < option->min || *number > option->max)
        throw CliError(zqCliUsage, "--" + name + ": " + text + " is out of range (" +
                                       number_text(option->min) + " to " + number_text(option->max) + ")");
    } else if (option->kind == OptionSpec::Choice) {
      auto it = std::find_if(option->choices.begin(), option->choices.end(),
                             [&](const std::string& c) { return lower(c) == lower(text); });
      if (it == option->choices.end()) {
        std::string list;
        for (const std::string& c : option->choices)
          list += (list.empty() ? "\"" : ", \"") + c + "\"";
        throw CliError(zqCliUsage, "--" + name + ": \"" + text + "\" is not one of " + list);
      }
      text = *it;
    } else if (text.empty()) {
      throw CliError(zqCliUsage, "option --" + name + " needs a value");
    }
    parsed.values_[name].push_back(text);
  }
  return parsed;
}

std::string HelpText(const CommandSpec& spec) {
  std::ostringstream s;
  s << "usage: absorbview-cli " << spec.name << " [options]\n" << spec.summary << "\n\noptions:\n";
  for (const OptionSpec& o : spec.options) {
    std::string head = "  --" + o.name;
    if (o.kind == OptionSpec::Number)
      head += " N";
    else if (o.kind != OptionSpec::Flag)
      head += " TEXT";
    s << head
      << (head.size() < 26 ? std::string(26 - head.size(), ' ') : std::string("\n") + std::string(26, ' '))
      << o.help;
    if (o.kind == OptionSpec::Number) s << " [" << number_text(o.min) << " to " << number_text(o.max) << "]";
    if (o.kind == OptionSpec::Choice) {
      s << ": ";
      for (std::size_t i = 0; i < o.choices.size(); ++i)
        s << (i ? ", " : "") << "\"" << o.choices[i] << "\"";
    }
    if (!o.defaultText.empty()) s << " (default " << o.defaultText << ")";
    if (o.repeatable) s << "; may be repeated";
    s << "\n";
  }
  s << "  --help                  this text\n";
  return s.str();
}

} // namespace zqcli
