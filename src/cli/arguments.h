#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lm::cli {

// An option a command knows: "--type N" takes a value, "--json" does not.
struct OptionSpec {
    std::string name;  // with its dashes: "--type"
    bool takesValue;
};

// A command's arguments split into options and plain arguments. Values may
// follow as the next argument or after "=" ("--type=3"); "--" ends the options.
class ParsedArguments {
  public:
    // Nothing, with `problem` set, when an option is unknown, repeated or
    // lacks its value, or the count of plain arguments is not `positionals`;
    // too few are reported as `missing`.
    static std::optional<ParsedArguments> parse(
        const std::vector<std::string>& args, const std::vector<OptionSpec>& options,
        std::size_t positionals, std::string& problem,
        const std::string& missing = "the label file is missing");

    bool has(const std::string& option) const { return m_values.count(option) > 0; }
    std::optional<std::string> value(const std::string& option) const;
    const std::vector<std::string>& positionals() const { return m_positionals; }

  private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_positionals;
};

// The value of a text of digits only, saturated far above any count the tool
// takes; nothing for an empty text or any other character.
std::optional<long long> digitsValue(const std::string& text);

}  // namespace lm::cli
