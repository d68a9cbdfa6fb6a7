// The operator tool's commands. Each returns the process exit code and throws
// UsageError or std::exception with a message for the operator.
#pragma once

#include "Args.h"

#include <string>
#include <vector>

namespace tandrel::admin {

int Stamp(const std::vector<std::string>& words);
int Show(const std::vector<std::string>& words);
int Digest(const std::vector<std::string>& words);
int Encrypt(const std::vector<std::string>& words);
int Decrypt(const std::vector<std::string>& words);
int Check(const std::vector<std::string>& words);
int Serve(const std::vector<std::string>& words);
int NewSite(const std::vector<std::string>& words);
int Publish(const std::vector<std::string>& words);
int Keygen(const std::vector<std::string>& words);
int Sign(const std::vector<std::string>& words);
int Verify(const std::vector<std::string>& words);

}  // namespace tandrel::admin
