#include "TestAuthority.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <functional>
#include <stdexcept>

namespace tandrel::test {

struct TestAuthority::Keys {
  EVP_PKEY* key = nullptr;
  X509* certificate = nullptr;
};

namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test authority: ") + what);
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx(&ctx, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  Check(extension && X509_add_ext(certificate, extension, -1) == 1, "extension");
  X509_EXTENSION_free(extension);
}

X509* Certificate(const std::string& commonName, EVP_PKEY* key, long notBefore, long notAfter, long serial) {
  X509* certificate = X509_new();
  Check(certificate != nullptr, "certificate");
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate), notBefore);
  X509_gmtime_adj(X509_getm_notAfter(certificate), notAfter);
  X509_set_pubkey(certificate, key);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                             -1, 0);
  return certificate;
}

void Write(const std::filesystem::path& file, const std::function<int(FILE*)>& write) {
  FILE* out = std::fopen(file.c_str(), "w");
  Check(out && write(out) == 1, "write");
  std::fclose(out);
}

}  // namespace

TestAuthority::TestAuthority(const std::filesystem::path& folder)
    : folder_(folder), caFile_(folder / "ca.pem"), keys_(new Keys) {
  keys_->key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  Check(keys_->key != nullptr, "key");
  keys_->certificate = Certificate("Tandrel test authority", keys_->key, -3600, 86400, 1);
  X509_set_issuer_name(keys_->certificate, X509_get_subject_name(keys_->certificate));
  AddExtension(keys_->certificate, keys_->certificate, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(keys_->certificate, keys_->certificate, NID_key_usage, "critical,keyCertSign,cRLSign");
  Check(X509_sign(keys_->certificate, keys_->key, EVP_sha256()) > 0, "sign");
  Write(caFile_, [&](FILE* out) { return PEM_write_X509(out, keys_->certificate); });
}

TestAuthority::~TestAuthority() {
  X509_free(keys_->certificate);
  EVP_PKEY_free(keys_->key);
  delete keys_;
}

IssuedCertificate TestAuthority::Issue(const std::string& name, const std::string& fileStem, long notBefore,
                                       long notAfter) const {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  Check(key != nullptr, "key");
  static long serial = 2;
  X509* certificate = Certificate(name, key, notBefore, notAfter, serial++);
  X509_set_issuer_name(certificate, X509_get_subject_name(keys_->certificate));
  const bool ip = name.find_first_not_of("0123456789.") == std::string::npos;
  AddExtension(certificate, keys_->certificate, NID_subject_alt_name, ((ip ? "IP:" : "DNS:") + name).c_str());
  AddExtension(certificate, keys_->certificate, NID_ext_key_usage, "serverAuth");
  Check(X509_sign(certificate, keys_->key, EVP_sha256()) > 0, "sign");
  const IssuedCertificate issued{folder_ / (fileStem + ".pem"), folder_ / (fileStem + ".key")};
  Write(issued.certificate, [&](FILE* out) { return PEM_write_X509(out, certificate); });
  Write(issued.key, [&](FILE* out) { return PEM_write_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr); });
  X509_free(certificate);
  EVP_PKEY_free(key);
  return issued;
}

}  // namespace tandrel::test
