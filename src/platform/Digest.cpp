#include "platform/Digest.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace {

struct TFreeDigestContext {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

}  // namespace

std::string Md5Hex(std::string_view First, std::string_view Second) {
  const std::unique_ptr<EVP_MD_CTX, TFreeDigestContext> ctx(EVP_MD_CTX_new());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1 ||
      EVP_DigestUpdate(ctx.get(), First.data(), First.size()) != 1 ||
      EVP_DigestUpdate(ctx.get(), Second.data(), Second.size()) != 1 ||
      EVP_DigestFinal_ex(ctx.get(), digest, &size) != 1)
    throw std::runtime_error("The MD5 digest failed");
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * size);
  for (unsigned int i = 0; i < size; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 15];
  }
  return text;
}
