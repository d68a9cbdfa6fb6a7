// encrypt and decrypt: the operator's side of the list's encryption.
#include "Commands.h"
#include "KeyOptions.h"

#include "core/FileIo.h"
#include "core/crypto.h"

namespace tandrel::admin {
namespace {

template <typename Transform>
int RunCipher(const std::vector<std::string>& words, Transform transform) {
  const Args args(words, kKeyOptions, {});
  args.ExpectPositionals(2, "IN and OUT");
  const ListKeys keys = KeysFromOptions(args);
  const auto input = ReadWholeFile(args.positionals()[0]);
  WriteFileAtomically(args.positionals()[1], transform(input, keys.key, keys.iv));
  return 0;
}

}  // namespace

int Encrypt(const std::vector<std::string>& words) { return RunCipher(words, EncryptServerList); }
int Decrypt(const std::vector<std::string>& words) { return RunCipher(words, DecryptServerList); }

}  // namespace tandrel::admin
