// Command-line words of one tandrel-admin command: positionals and --options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel::admin {

// A mistake in what the operator typed; main prints it with the usage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  // valued: options that take a value; flags: options that stand alone.
  Args(const std::vector<std::string>& words, const std::set<std::string>& valued, const std::set<std::string>& flags);

  const std::vector<std::string>& positionals() const { return positionals_; }
  // Throws UsageError when the option was given more than once.
  std::optional<std::string> Value(const std::string& option) const;
  // Every value of an option that may be given more than once, in order.
  std::vector<std::string> Values(const std::string& option) const;
  std::string Required(const std::string& option) const;
  bool Flag(const std::string& option) const { return flags_.count(option) > 0; }
  void ExpectPositionals(std::size_t count, const char* what) const;

 private:
  std::vector<std::string> positionals_;
  std::map<std::string, std::vector<std::string>> values_;
  std::set<std::string> flags_;
};

}  // namespace tandrel::admin
