#include "cli/arguments.h"

namespace lm::cli {

std::optional<ParsedArguments> ParsedArguments::parse(const std::vector<std::string>& args,
                                                      const std::vector<OptionSpec>& options,
                                                      std::size_t positionals, std::string& problem,
                                                      const std::string& missing) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.m_positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        std::size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const OptionSpec* known = nullptr;
        for (const OptionSpec& option : options)
            if (option.name == name) known = &option;
        if (!known) {
            problem = "unknown option " + name;
            return std::nullopt;
        }
        if (parsed.has(name)) {
            problem = name + " is given twice";
            return std::nullopt;
        }
        if (known->takesValue && !value) {
            if (i + 1 >= args.size()) {
                problem = name + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!known->takesValue && value) {
            problem = name + " takes no value";
            return std::nullopt;
        }
        parsed.m_values[name] = value.value_or(std::string());
    }
    if (parsed.m_positionals.size() != positionals) {
        problem = parsed.m_positionals.size() < positionals ? missing : "too many arguments";
        return std::nullopt;
    }
    return parsed;
}

std::optional<std::string> ParsedArguments::value(const std::string& option) const {
    auto found = m_values.find(option);
    if (found == m_values.end()) return std::nullopt;
    return found->second;
}

std::optional<long long> digitsValue(const std::string& text) {
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value < 1000000000LL) value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace lm::cli
