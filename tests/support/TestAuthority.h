// A certificate authority made by a test, and server certificates it issues: for
// TLS on loopback, handed to the transport as a CA file, never to the machine's
// trust store.
#pragma once

#include <filesystem>
#include <string>

namespace tandrel::test {

struct IssuedCertificate {
  std::filesystem::path certificate;  // PEM
  std::filesystem::path key;          // PEM
};

class TestAuthority {
 public:
  // Writes the authority's certificate (ca.pem) and key into folder.
  explicit TestAuthority(const std::filesystem::path& folder);
  ~TestAuthority();
  TestAuthority(const TestAuthority&) = delete;
  TestAuthority& operator=(const TestAuthority&) = delete;

  const std::filesystem::path& CaFile() const { return caFile_; }
  // A server certificate for the IP address or DNS name, valid from notBefore to
  // notAfter seconds from now.
  IssuedCertificate Issue(const std::string& name, const std::string& fileStem, long notBefore = -3600,
                          long notAfter = 86400) const;

 private:
  struct Keys;
  std::filesystem::path folder_, caFile_;
  Keys* keys_;
};

}  // namespace tandrel::test
