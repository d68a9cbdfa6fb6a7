#include "Args.h"

namespace tandrel::admin {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valued,
           const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!word.starts_with("--")) {
      positionals_.push_back(word);
    } else if (valued.count(word)) {
      if (i + 1 >= words.size()) throw UsageError(word + " needs a value");
      values_[word].push_back(words[++i]);
    } else if (flags.count(word)) {
      flags_.insert(word);
    } else {
      throw UsageError("unknown option " + word);
    }
  }
}

std::optional<std::string> Args::Value(const std::string& option) const {
  const auto it = values_.find(option);
  if (it == values_.end()) return std::nullopt;
  if (it->second.size() > 1) throw UsageError(option + " is given more than once");
  return it->second.front();
}

std::vector<std::string> Args::Values(const std::string& option) const {
  const auto it = values_.find(option);
  return it == values_.end() ? std::vector<std::string>{} : it->second;
}

std::string Args::Required(const std::string& option) const {
  auto value = Value(option);
  if (!value) throw UsageError(option + " is required");
  return *value;
}

void Args::ExpectPositionals(std::size_t count, const char* what) const {
  if (positionals_.size() != count) throw UsageError(std::string("expected ") + what);
}

}  // namespace tandrel::admin
